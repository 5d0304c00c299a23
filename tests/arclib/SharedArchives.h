// The folder of archives made by other programs (beside the project).
#pragma once

#include <filesystem>
#include <string>

namespace arctest {

// The path of one of those archives, or empty when it is not there.
inline std::string SharedArchive(const std::string& relative) {
  const std::string path = std::string(VX_SHARED_ARCHIVES) + "/" + relative;
  return std::filesystem::is_regular_file(path) ? path : std::string();
}

}  // namespace arctest
