// CAB32.DLL's own writer: MSZIP blocks deflated on several cores, or
// stored, at the edges of blocks and of the workers' batches, files spread
// over several folders (ARCLIB_CAB_FOLDER_BLOCKS makes folders small for
// the test), each cabinet read back whole by cabextract, 7-Zip, bsdtar and
// gcab.
#include <filesystem>

#include "ArcTestKit.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

constexpr size_t kBlock = 32768;
constexpr size_t kBatch = 64 * kBlock;  // what one worker job takes

arctest::Tree EdgeTree() {
  return {
      {"empty.bin", ""},
      {"one.bin", "x"},
      {"block.txt", arctest::NumberedText(kBlock, "cabinet line ")},
      {"block-and-one.txt", arctest::NumberedText(kBlock + 1, "cabinet line ")},
      {"batch.txt", arctest::NumberedText(kBatch, "cabinet line ")},
      {"batch-and-one.txt", arctest::NumberedText(kBatch + 1, "cabinet line ")},
      {"zeros.bin", std::string(3 * kBatch / 2, '\0')},
      {"noise.bin", arctest::RandomBytes(100000, 11)},
      {"sub/日本語.txt", "キャビネット\n"},
  };
}

const arctest::ReferenceReader kReaders[] = {
    {"cabextract", "LC_ALL=C.UTF-8 cabextract -q -d %d %a"},
    {"7zz", "7zz x -y -bd -o%d %a > /dev/null"},
    {"bsdtar", "LC_ALL=C.UTF-8 bsdtar -xf %a -C %d"},
    {"gcab", "LC_ALL=C.UTF-8 gcab -x -C %d %a"},
};

struct Layout {
  const char* name;
  const char* switches;
  const char* folderBlocks;  // nullptr: the real limit
  int folders;
};

class CabWriting : public ::testing::TestWithParam<Layout> {
 protected:
  void SetUp() override {
    if (GetParam().folderBlocks != nullptr) folders_.emplace("ARCLIB_CAB_FOLDER_BLOCKS", GetParam().folderBlocks);
    arctest::WriteTree(P("src"), EdgeTree());
    fs::create_directories(P("out"));
  }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }

  std::optional<arctest::ScopedEnv> folders_;
  vxtest::DriveC drive;
  arctest::RealLibrary lib{"CAB32.DLL"};
  TArcCommandProc cab = lib.Entry<TArcCommandProc>("Cab");
};

TEST_P(CabWriting, EveryReaderGetsEveryByteBack) {
  const auto r = Call(cab, std::string("-a -r ") + GetParam().switches + "  \"C:\\out\\a.cab\" \"C:\\src\\\" \"*\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  const std::string archive = P("out/a.cab");
  const auto test = Tool("cabextract -t " + Sh(archive));
  EXPECT_EQ(test.status, 0) << test.output;
  for (const arctest::ReferenceReader& reader : kReaders) {
    SCOPED_TRACE(reader.name);
    const std::string dir = P(std::string("x-") + reader.name);
    const auto x = arctest::ExtractWith(reader, archive, dir);
    ASSERT_EQ(x.status, 0) << x.output;
    EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(dir), EdgeTree()), "");
  }
  const std::string bytes = arctest::ReadFileBytes(archive);
  ASSERT_GT(bytes.size(), 36u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[26]) | static_cast<unsigned char>(bytes[27]) << 8, GetParam().folders);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, CabWriting,
    ::testing::Values(Layout{"mszip", "", nullptr, 1}, Layout{"stored", "-mn", nullptr, 1},
                      // 100 blocks (3.2 MB) a folder: the 7.3 MB of files take three.
                      Layout{"mszip_folders", "", "100", 3}, Layout{"stored_folders", "-mn", "100", 3}),
    [](const auto& info) { return info.param.name; });

// A file larger than a folder can hold is refused before anything is
// written, with the family's "not supported" code.
TEST(CabWriterLimits, AFileLargerThanAFolderIsRefused) {
  vxtest::DriveC drive;
  arctest::RealLibrary lib{"CAB32.DLL"};
  TArcCommandProc cab = lib.Entry<TArcCommandProc>("Cab");
  const arctest::ScopedEnv folders("ARCLIB_CAB_FOLDER_BLOCKS", "4");
  arctest::WriteTree(drive.Path() + "/src", {{"big.bin", std::string(4 * kBlock + 1, 'b')}});
  fs::create_directories(drive.Path() + "/out");
  const auto r = Call(cab, "-a  \"C:\\out\\big.cab\" \"C:\\src\\\" \"big.bin\" ");
  EXPECT_EQ(r.code, ARCERR_NOT_SUPPORT) << r.output;
  EXPECT_NE(r.output.find("big.bin"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(drive.Path() + "/out/big.cab"));
}

}  // namespace
