#include <archive.h>

#include "archives/ArchiverDll.h"
#include "common/ArchiveReader.h"
#include "common/Failure.h"
#include "tar32/TarCommand.h"

namespace tar32 {

int TarArchiveType(const std::string& posixPath) {
  arc::ArchiveReader reader(posixPath, arc::ReadFormat::Raw);
  try {
    reader.Next();
  } catch (const arc::Failure&) {
    // The kind is known once libarchive has chosen the format, even when
    // the first header is more than it reads (a very large pax header).
  }
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
