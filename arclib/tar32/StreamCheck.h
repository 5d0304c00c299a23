// The gzip and bzip2 layers of a compressed tar archive checked on their
// own: libarchive's tar reader stops at the end-of-archive blocks and never
// looks at the gzip trailer (CRC-32 and length) nor at bzip2's stream CRC,
// so a damaged archive would otherwise extract with wrong bytes.
#pragma once

#include <string>

namespace tar32 {

// Decompresses every gzip member (or bzip2 stream) of the file and checks
// its CRCs and lengths; other compressions (xz, zstd ...) are read to their
// end through libarchive so that their own checks run; does nothing for an
// uncompressed file. Throws Failure
// (ARCERR_FILE_CRC, ARCERR_HEADER_BROKEN) naming the tar member in whose
// data, or before which, the damage shows and what was wrong.
void CheckCompressedLayer(const std::string& posixPath);

}  // namespace tar32
