// The platform's ini files on any bytes: reading every key of every section
// the file has, then writing a value and reading back what was written.
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "platform/win32api.h"

namespace {

// The NUL-separated list a profile function returns with a null name.
std::vector<std::string> Names(const char* section, const std::string& file) {
  std::vector<char> buffer(4096);
  const DWORD n = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                           file.c_str());
  std::vector<std::string> names;
  for (DWORD i = 0; i < n && buffer[i] != '\0'; i += static_cast<DWORD>(names.back().size()) + 1)
    names.emplace_back(buffer.data() + i);
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const vxfuzz::FuzzFile file(".ini");
  file.Write(data, size);
  const std::string& ini = file.Win();
  char value[512];
  for (const std::string& section : Names(nullptr, ini))
    for (const std::string& key : Names(section.c_str(), ini)) {
      GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value, ini.c_str());
      GetPrivateProfileIntA(section.c_str(), key.c_str(), -1, ini.c_str());
    }
  // The three settings of the plug-in, written over whatever was there.
  for (const char* key : {"ArchiveType", "IsSfx", "ShowResult"}) {
    if (!WritePrivateProfileStringA("Options", key, "3", ini.c_str())) continue;
    if (GetPrivateProfileIntA("Options", key, -1, ini.c_str()) != 3) std::abort();
    GetPrivateProfileStringA("Options", key, "", value, sizeof value, ini.c_str());
    if (std::string(value) != "3") std::abort();
  }
  return 0;
}
