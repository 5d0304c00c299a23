// A generated corpus of about 100 MB: many small text and binary files and
// a few large ones (text, structured binary, incompressible data).
#pragma once

#include <cstdint>
#include <string>

namespace bench {

// Writes the corpus below dir (subdirectories small, bin and large);
// returns the bytes written.
uint64_t MakeCorpus(const std::string& dir);

}  // namespace bench
