// A tar archive as our tar reader gets it: decompressed (by libarchive's
// filters) and with every pax extended header that libarchive would refuse
// for its size (over 1 MiB: long extended attributes, comments) cut down to
// the records a reader uses. The rest of the stream passes unchanged.
#pragma once

#include <memory>
#include <string>

#include "common/ArchiveReader.h"

namespace tar32 {

// A reader of the tar archive in the file (plain, gzip, bzip2, ...);
// filter (when given) gets libarchive's code of the compression.
std::unique_ptr<arc::ArchiveReader> OpenTar(const std::string& posixPath, int* filter = nullptr);

}  // namespace tar32
