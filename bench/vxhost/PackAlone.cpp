// Packs a folder with ZIP32J.DLL alone, with the command line the plug-in's
// whole-folder mode gives it: the memory the archiver library itself needs,
// which bench/vxhost/memory.sh subtracts from vxhost's.
//
//   bench_pack_alone ARCHIVE.zip FOLDER
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "archives/ArchiverDll.h"
#include "platform/posix/vxposix.h"
#include "platform/win32api.h"

namespace fs = std::filesystem;

namespace {

std::string WinPath(const std::string& posix) {
  std::string win, cp932;
  if (!vxposix::ToWinPath(fs::absolute(posix).string(), win)) return "";
  return win;
}

std::string Cp932(const std::string& utf8) {
  std::string out;
  return vxposix::Utf8ToCp932(utf8, out) ? out : utf8;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_pack_alone ARCHIVE.zip FOLDER\n");
    return 2;
  }
  const std::string archive = WinPath(argv[1]), folder = WinPath(argv[2]);
  std::vector<std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(argv[2]))
    if (e.is_regular_file()) files.push_back(fs::relative(e.path(), argv[2]).string());
  std::sort(files.begin(), files.end());
  std::string line = " -D  \"" + archive + "\" \"" + folder + "\\\"";
  for (std::string f : files) {
    std::replace(f.begin(), f.end(), '/', '\\');
    line += " \"" + Cp932(f) + "\"";
  }
  line += " ";
  HMODULE library = LoadLibraryA("ZIP32J.DLL");
  if (library == nullptr) {
    std::fprintf(stderr, "bench_pack_alone: ZIP32J.DLL not found\n");
    return 1;
  }
  auto zip = reinterpret_cast<TArcCommandProc>(reinterpret_cast<void (*)()>(GetProcAddress(library, "Zip")));
  std::vector<char> output(8192);
  const int result = zip(nullptr, line.c_str(), output.data(), static_cast<DWORD>(output.size()));
  std::printf("ZIP32J.DLL Zip: result %d, %zu files\n", result, files.size());
  return result == 0 ? 0 : 1;
}
