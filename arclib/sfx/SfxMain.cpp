// vxsfx: the program put in front of an archive to make it self-extracting.
// It unpacks the archive appended to itself into the current directory (or
// the directory given), asks before replacing a file, and says where the
// files went. It needs nothing beyond the C and C++ runtimes, zlib and
// bzip2, which every Debian system has.
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "sfx/SfxFormats.h"
#include "sfx/SfxPayload.h"
#include "sfx/SfxUnpacker.h"

namespace {

void Usage(std::FILE* to, const char* program) {
  std::fprintf(to,
               "usage: %s [-y] [DIRECTORY]\n"
               "Unpacks the files stored in this program into DIRECTORY (the current\n"
               "directory when none is given).\n"
               "  -y, --yes   replace existing files without asking\n"
               "  -h, --help  show this help and unpack nothing\n"
               "An existing file is replaced only when you answer y (or A for all) to the\n"
               "question; when standard input is no terminal, the answer is no.\n",
               program);
}

}  // namespace

namespace sfx {

std::time_t DosTime(uint16_t date, uint16_t time) {
  std::tm tm{};
  tm.tm_sec = (time & 0x1F) * 2;
  tm.tm_min = (time >> 5) & 0x3F;
  tm.tm_hour = time >> 11;
  tm.tm_mday = date & 0x1F;
  tm.tm_mon = ((date >> 5) & 0x0F) - 1;
  tm.tm_year = (date >> 9) + 80;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  return t < 0 ? 0 : t;
}

}  // namespace sfx

int main(int argc, char** argv) {
  setlocale(LC_ALL, "C.UTF-8");
  const char* program = argc > 0 ? argv[0] : "vxsfx";
  bool yes = false, optionsDone = false;
  std::string destination;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (!optionsDone && (a == "-h" || a == "--help")) {
      Usage(stdout, program);
      return 0;
    }
    if (!optionsDone && (a == "-y" || a == "--yes")) {
      yes = true;
    } else if (!optionsDone && a == "--") {
      optionsDone = true;
    } else if ((!optionsDone && a.size() > 1 && a[0] == '-') || !destination.empty()) {
      std::fprintf(stderr, "%s: %s %s\n", program, destination.empty() ? "unknown option" : "one directory only:",
                   a.c_str());
      Usage(stderr, program);
      return 2;
    } else {
      destination = a;
    }
  }
  if (destination.empty()) destination = ".";

  sfx::Payload archive;
  archive.fd = open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (archive.fd < 0 || fstat(archive.fd, &st) != 0 || !sfx::ElfImageEnd(archive.fd, archive.base) ||
      archive.base >= static_cast<uint64_t>(st.st_size)) {
    std::fprintf(stderr, "no archive is appended to this program\n");
    return 2;
  }
  archive.size = static_cast<uint64_t>(st.st_size) - archive.base;
  const sfx::Kind kind = sfx::PayloadKind(archive.fd, archive.base);
  if (kind == sfx::Kind::None) {
    std::fprintf(stderr, "the data appended to this program is no archive this program knows\n");
    close(archive.fd);
    return 2;
  }
  sfx::Unpacker out(destination, yes, isatty(STDIN_FILENO) != 0);
  switch (kind) {
    case sfx::Kind::Zip: sfx::UnpackZip(archive, out); break;
    case sfx::Kind::Cab: sfx::UnpackCab(archive, out); break;
    case sfx::Kind::Lha: sfx::UnpackLha(archive, out); break;
    case sfx::Kind::Tar: sfx::UnpackTar(archive, out); break;
    case sfx::Kind::None: break;
  }
  close(archive.fd);
  return out.Finish();
}
