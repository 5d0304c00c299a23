// ZIP32J.DLL's own writer: members deflated in pieces on several cores
// and joined, the stored fallback, names in UTF-8, and the ZIP64 records
// (forced on small files by ARCLIB_ZIP64=always), each read back whole by
// unzip, 7-Zip and bsdtar.
#include <filesystem>

#include "ArcTestKit.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

constexpr size_t kPiece = size_t(4) << 20;  // the writer's piece size

// Files at the edges of the writer's paths: empty, one byte, one piece
// exactly and one byte more, long zero runs over several pieces, noise
// that is stored, and noise over a piece boundary that stays deflated.
arctest::Tree EdgeTree() {
  return {
      {"empty.bin", ""},
      {"one.bin", "x"},
      {"piece.txt", arctest::NumberedText(kPiece)},
      {"piece-and-one.txt", arctest::NumberedText(kPiece + 1)},
      {"zeros.bin", std::string(2 * kPiece + 12345, '\0')},
      {"noise.bin", arctest::RandomBytes(300000, 7)},
      {"noise-long.bin", arctest::RandomBytes(kPiece + 100, 8)},
      {"sub/日本語.txt", "名前は UTF-8 で\n"},
  };
}

const arctest::ReferenceReader kReaders[] = {
    {"unzip", "LC_ALL=C.UTF-8 unzip -q %a -d %d"},
    {"7zz", "7zz x -y -bd -o%d %a > /dev/null"},
    {"bsdtar", "LC_ALL=C.UTF-8 bsdtar -xf %a -C %d"},
};

class ZipWriting : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) zip64_.emplace("ARCLIB_ZIP64", "always");
    arctest::WriteTree(P("src"), EdgeTree());
    fs::create_directories(P("out"));
  }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }

  std::optional<arctest::ScopedEnv> zip64_;
  vxtest::DriveC drive;
  arctest::RealLibrary zip32j{"ZIP32J.DLL"};
  TArcCommandProc zip = zip32j.Entry<TArcCommandProc>("Zip");
};

TEST_P(ZipWriting, EveryReaderGetsEveryByteBack) {
  const auto r = Call(zip, " -r  \"C:\\out\\a.zip\" \"C:\\src\\\" \"*\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  const std::string archive = P("out/a.zip");
  const auto test = Tool("unzip -tq " + Sh(archive));
  EXPECT_EQ(test.status, 0) << test.output;
  for (const arctest::ReferenceReader& reader : kReaders) {
    SCOPED_TRACE(reader.name);
    const std::string dir = P(std::string("x-") + reader.name);
    const auto x = arctest::ExtractWith(reader, archive, dir);
    ASSERT_EQ(x.status, 0) << x.output;
    EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(dir), EdgeTree()), "");
  }
  const std::string bytes = arctest::ReadFileBytes(archive);
  EXPECT_EQ(bytes.find("PK\x06\x06") != std::string::npos, GetParam()) << "the ZIP64 end record";
  // Noise that deflate cannot shrink is stored; text is deflated.
  const std::string listing = Tool("unzip -v " + Sh(archive)).output;
  for (const char* stored : {"noise.bin", "empty.bin"}) {
    const size_t at = listing.find(std::string(stored) + "\n");
    ASSERT_NE(at, std::string::npos) << listing;
    const size_t line = listing.rfind('\n', at) + 1;
    EXPECT_NE(listing.substr(line, at - line).find("Stored"), std::string::npos) << listing.substr(line, at - line);
  }
}

// A member kept from the old archive on an update goes through the same
// writer: its bytes stay, in every reader.
TEST_P(ZipWriting, UpdatingKeepsTheOldMembersWhole) {
  ASSERT_EQ(Call(zip, " -r  \"C:\\out\\a.zip\" \"C:\\src\\\" \"*\" ").code, 0);
  arctest::WriteTree(P("more"), {{"late.txt", "added later\n"}});
  const auto r = Call(zip, " -r  \"C:\\out\\a.zip\" \"C:\\more\\\" \"late.txt\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  arctest::Tree expected = EdgeTree();
  expected["late.txt"] = "added later\n";
  const std::string dir = P("x");
  ASSERT_EQ(arctest::ExtractWith(kReaders[1], P("out/a.zip"), dir).status, 0);
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(dir), expected), "");
  EXPECT_EQ(Tool("unzip -tq " + Sh(P("out/a.zip"))).status, 0);
}

INSTANTIATE_TEST_SUITE_P(Records, ZipWriting, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "zip64" : "plain"; });

}  // namespace
