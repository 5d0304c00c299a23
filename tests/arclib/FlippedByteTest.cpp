// Trust across the readers: an archive made by another program with one
// byte flipped in its data either fails (extraction and check alike) or
// extracts exactly the files that were packed; never success over a wrong
// byte.
#include <filesystem>

#include "ArcTestKit.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

struct FlipCase {
  const char* name;
  const char* library;
  const char* entry;
  const char* checkEntry;
  const char* make;     // run in C:\src, writes ../a.arc of every file below
  const char* extract;  // command line extracting C:\a.arc into C:\x
};

class FlippedBytes : public ::testing::TestWithParam<FlipCase> {
 protected:
  void SetUp() override {
    const std::string tool = std::string(GetParam().make).substr(0, std::string(GetParam().make).find(' '));
    if (Tool("command -v " + tool).status != 0) GTEST_SKIP() << tool << " is not installed";
    arctest::WriteTree(P("src"), arctest::SampleTree());
  }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  vxtest::DriveC drive;
};

TEST_P(FlippedBytes, NeverPassAsSound) {
  const FlipCase& c = GetParam();
  arctest::RealLibrary lib(c.library);
  auto command = lib.Entry<TArcCommandProc>(c.entry);
  auto check = lib.Entry<TArcCheckArchiveProc>(c.checkEntry);
  ASSERT_EQ(Tool("cd " + Sh(P("src")) + " && " + c.make + " >/dev/null").status, 0) << c.make;
  const std::string good = drive.ReadFile("a.arc");
  const arctest::Tree packed = arctest::SampleTree();
  ASSERT_EQ(Call(command, c.extract).code, 0);
  ASSERT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), packed), "");
  // Through the middle of the archive, where the members' data lies.
  int failures = 0;
  for (size_t at = good.size() / 4; at < good.size() * 3 / 4; at += good.size() / 60) {
    std::string bytes = good;
    bytes[at] = static_cast<char>(bytes[at] ^ 0x20);
    drive.WriteFile("a.arc", bytes);
    fs::remove_all(P("x"));
    const auto r = Call(command, c.extract);
    if (r.code == 0) {
      EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), packed), "") << "success over a wrong byte at " << at;
      continue;
    }
    ++failures;
    EXPECT_GE(r.code, 0x8000) << at;
    EXPECT_NE(r.output.find("Error: "), std::string::npos) << at << "\n" << r.output;
    EXPECT_FALSE(check("C:\\a.arc", CHECKARCHIVE_FULLCRC)) << "the check calls sound what fails, at " << at;
  }
  EXPECT_GT(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Readers, FlippedBytes,
    ::testing::Values(
        FlipCase{"tar_gzip", "tar32.dll", "Tar", "TarCheckArchive", "tar czf ../a.arc .", "x -f \"C:\\a.arc\" -o \"C:\\x\\\""},
        FlipCase{"tar_bzip2", "tar32.dll", "Tar", "TarCheckArchive", "tar cjf ../a.arc .", "x -f \"C:\\a.arc\" -o \"C:\\x\\\""},
        FlipCase{"zip_deflate", "UNZIP32.DLL", "UnZip", "UnZipCheckArchive", "zip -q -r ../a.arc .",
                 "-x -o  \"C:\\a.arc\" \"C:\\x\\\" "},
        FlipCase{"zip_stored", "UNZIP32.DLL", "UnZip", "UnZipCheckArchive", "zip -q -0 -r ../a.arc .",
                 "-x -o  \"C:\\a.arc\" \"C:\\x\\\" "},
        FlipCase{"zip_7zz_lzma", "UNZIP32.DLL", "UnZip", "UnZipCheckArchive", "7zz a -tzip -mm=LZMA -bso0 ../a.arc .",
                 "-x -o  \"C:\\a.arc\" \"C:\\x\\\" "},
        FlipCase{"cab_mszip", "CAB32.DLL", "Cab", "CabCheckArchive",
                 "gcab -c -z ../a.arc top.txt docs/readme.txt docs/日本語ファイル.txt data/random.bin data/sub/empty.txt",
                 "-x -o  \"C:\\a.arc\" \"C:\\x\\\" "},
        FlipCase{"arj_m1", "UNARJ32J.DLL", "Unarj", "UnarjCheckArchive", "arj a -r -y -m1 ../a.arj '*' && mv ../a.arj ../a.arc",
                 "x -+  \"C:\\a.arc\" \"C:\\x\\\" "}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
