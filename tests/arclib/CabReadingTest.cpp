// CAB32.DLL reading cabinets the gcab program made (MSZIP and stored):
// contents as cabextract gives them; one flipped byte is a CRC error
// naming the member, also for the check.
#include <filesystem>

#include "ArcTestKit.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

class CabReading : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (Tool("command -v gcab").status != 0) GTEST_SKIP() << "the gcab program is not installed";
    arctest::WriteTree(P("src"), arctest::SampleTree());
  }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }

  vxtest::DriveC drive;
  arctest::RealLibrary lib{"CAB32.DLL"};
  TArcCommandProc cab = lib.Entry<TArcCommandProc>("Cab");
  TArcCheckArchiveProc check = lib.Entry<TArcCheckArchiveProc>("CabCheckArchive");
};

TEST_P(CabReading, GcabCabinetsExtractAsCabextractAndDamageIsACrcError) {
  ASSERT_EQ(Tool("cd " + Sh(P("src")) + " && gcab -c " + GetParam() + " ../a.cab top.txt docs/readme.txt data/random.bin")
                .status,
            0);
  auto r = Call(cab, "-x -o  \"C:\\a.cab\" \"C:\\x\\\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  ASSERT_EQ(Tool("cabextract -q -d " + Sh(P("ref")) + " " + Sh(P("a.cab"))).status, 0);
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::ReadTree(P("ref"))), "");
  EXPECT_TRUE(check("C:\\a.cab", 0));
  // One byte inside the random data (the last member, the file's second half).
  std::string bytes = drive.ReadFile("a.cab");
  bytes[bytes.size() - 20000] ^= 0x10;
  drive.WriteFile("f.cab", bytes);
  ASSERT_NE(Tool("cabextract -t " + Sh(P("f.cab"))).status, 0);
  r = Call(cab, "-x -o  \"C:\\f.cab\" \"C:\\y\\\" ");
  EXPECT_EQ(r.code, ARCERR_FILE_CRC) << r.output;
  EXPECT_NE(r.output.find("random.bin"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(P("y/data/random.bin")));
  EXPECT_FALSE(check("C:\\f.cab", 0));
}

INSTANTIATE_TEST_SUITE_P(Kinds, CabReading, ::testing::Values("-z", ""),
                         [](const auto& info) { return std::string(info.param[0] ? "mszip" : "stored"); });

}  // namespace
