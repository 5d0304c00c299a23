#include "common/SfxStub.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "archives/ArchiverDll.h"
#include "common/Cp932.h"
#include "common/Failure.h"
#include "common/TempFile.h"
#include "common/WinNames.h"

namespace arc {

namespace {

void CopyInto(int out, const std::string& path, const std::string& shown) {
  const int in = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) throw Failure(ARCERR_FILE_OPEN, "cannot read " + shown + ": " + std::strerror(errno));
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t n = ReadSome(in, buffer.data(), buffer.size());
    if (n < 0) {
      close(in);
      throw Failure(ARCERR_CANNOT_READ, "cannot read " + shown);
    }
    if (n == 0) break;
    if (!WriteAll(out, buffer.data(), static_cast<size_t>(n))) {
      const int error = errno;
      close(in);
      throw Failure(WriteErrorCode(error), "cannot write the program: " + std::string(std::strerror(error)));
    }
  }
  close(in);
}

}  // namespace

std::string LibraryDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&LibraryDirectory), &info) == 0 || info.dli_fname == nullptr) return ".";
  std::string path = info.dli_fname;
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

void WriteSfxProgram(const std::string& stubPosix, const std::string& archivePosix,
                     const std::string& programPosix, const std::string& programShown) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(programPosix).parent_path(), ec);
  TempFile out;
  if (!out.Open(programPosix, 0777))
    throw Failure(ARCERR_TMP_OPEN, "cannot create " + programShown + ": " + std::strerror(errno));
  CopyInto(out.Fd(), stubPosix, "the self-extractor stub " + Cp932ForReport(stubPosix));
  CopyInto(out.Fd(), archivePosix, "the archive");
  if (!out.Commit()) throw Failure(WriteErrorCode(errno), "cannot write " + programShown);
}

std::string SfxProgramName(const std::string& archiveWin, const std::string& dirWin) {
  std::string name = SplitPath(archiveWin).back();
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  name += ".exe";
  if (!dirWin.empty()) return (EndsWithSeparator(dirWin) ? dirWin : dirWin + "\\") + name;
  const std::string full = WithBackslashes(archiveWin);
  return full.substr(0, full.size() - SplitPath(full).back().size()) + name;
}

}  // namespace arc
