#include <archive.h>

#include "archives/ArchiverDll.h"
#include "common/ArchiveReader.h"
#include "tar32/TarCommand.h"

namespace tar32 {

int TarArchiveType(const std::string& posixPath) {
  arc::ArchiveReader reader(posixPath, arc::ReadFormat::Raw);
  reader.Next();
  const bool isTar = (reader.FormatCode() & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_TAR;
  switch (reader.FilterCode()) {
    case ARCHIVE_FILTER_NONE:
      return isTar ? 1 : 0;
    case ARCHIVE_FILTER_GZIP:
      return isTar ? 2 : 4;
    case ARCHIVE_FILTER_COMPRESS:
      return isTar ? 3 : 5;
    case ARCHIVE_FILTER_BZIP2:
      return isTar ? 6 : 7;
    default:
      return 0;
  }
}

}  // namespace tar32
