// A generated corpus: many small text and binary files and a few large
// ones (text, structured binary, incompressible data), about 100 MB, and a
// folder like a user's project: 10,000 files of text, CSV and logs, a
// quarter of them random data, about 290 MB.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

// Writes the corpus below dir (subdirectories small, bin and large);
// returns the bytes written.
uint64_t MakeCorpus(const std::string& dir);
// Writes the 10,000-file folder below dir/folder; returns the bytes written.
uint64_t MakeFolder(const std::string& dir);

}  // namespace bench
