// Every packing library meets a full disk (a file-size limit stands in for
// it) with the disk-space code and leaves the old archive as it was.
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "ArcTestKit.h"

namespace fs = std::filesystem;
using arctest::Call;

namespace {

struct Packer {
  const char* library;
  const char* entry;
  const char* archive;  // below C:\out
  const char* small;    // packs C:\src\top.txt
  const char* large;    // packs C:\src\big.bin
};

class DiskFull : public ::testing::TestWithParam<Packer> {
 protected:
  void SetUp() override {
    drive.WriteFile("src/top.txt", "hello\n");
    drive.WriteFile("src/big.bin", arctest::RandomBytes(200000, 11));
    fs::create_directories(drive.Path() + "/out");
  }
  vxtest::DriveC drive;
};

TEST_P(DiskFull, GivesTheDiskCodeAndKeepsTheOldArchive) {
  const Packer& p = GetParam();
  arctest::RealLibrary lib(p.library);
  auto entry = lib.Entry<TArcCommandProc>(p.entry);
  ASSERT_EQ(Call(entry, p.small).code, 0);
  const std::string archive = std::string("out/") + p.archive;
  const std::string before = drive.ReadFile(archive);
  struct rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = old;
  limited.rlim_cur = 50000;
  setrlimit(RLIMIT_FSIZE, &limited);
  const auto r = Call(entry, p.large);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(r.code, ARCERR_DISK_SPACE) << r.output;
  EXPECT_EQ(drive.ReadFile(archive), before);
  EXPECT_EQ(arctest::ListDir(drive.Path() + "/out"), std::vector<std::string>{p.archive});
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, DiskFull,
    ::testing::Values(
        Packer{"tar32.dll", "Tar", "a.tgz", "c -z -f \"C:\\out\\a.tgz\" \"C:\\src\\top.txt\"",
               "c -z -f \"C:\\out\\a.tgz\" \"C:\\src\\big.bin\""},
        Packer{"ZIP32J.DLL", "Zip", "a.zip", " -D  \"C:\\out\\a.zip\" \"C:/src/top.txt\" ",
               " -D  \"C:\\out\\a.zip\" \"C:/src/big.bin\" "},
        Packer{"CAB32.DLL", "Cab", "a.cab", "-a  \"C:\\out\\a.cab\" \"C:\\src\\top.txt\" ",
               "-a  \"C:\\out\\a.cab\" \"C:\\src\\big.bin\" "},
        Packer{"UNLHA32.DLL", "Unlha", "a.lzh", "u -+  \"C:\\out\\a.lzh\" \"C:\\src\\top.txt\" ",
               "u -+  \"C:\\out\\a.lzh\" \"C:\\src\\big.bin\" "}),
    [](const ::testing::TestParamInfo<Packer>& info) { return std::string(info.param.entry); });

}  // namespace
