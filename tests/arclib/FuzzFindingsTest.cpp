// Inputs the fuzz targets found, kept small in fuzz-findings/: each must
// come back with an error code, and the sanitizer run must stay silent.
#include <filesystem>
#include <fstream>

#include "ArcTestKit.h"

namespace fs = std::filesystem;
using arctest::Call;

namespace {

class FuzzFindings : public ::testing::Test {
 protected:
  // A finding copied to C:\ under a name of our choosing.
  void Place(const std::string& finding, const std::string& name) {
    fs::copy_file(std::string(VX_FUZZ_FINDINGS) + "/" + finding, drive.Path() + "/" + name);
  }
  vxtest::DriveC drive;
};

// libarchive reads a volume set as one stream; an empty first "volume"
// made its RAR 5 reader use a buffer it had freed. A file that is no
// volume now has no set beside it.
TEST_F(FuzzFindings, RarSetWhoseFirstVolumeIsEmpty) {
  std::ofstream(drive.Path() + "/set.part1.rar").close();
  Place("rar5-after-empty-volume.rar", "set.part2.rar");
  arctest::RealLibrary lib{"UNRAR32.DLL"};
  const auto unrar = lib.Entry<TArcCommandProc>("Unrar");
  for (const char* line : {"-t  \"C:\\set.part1.rar\" ", "-l  \"C:\\set.part1.rar\" ",
                           "-x -y  \"C:\\set.part1.rar\" \"C:\\x\\\" "}) {
    SCOPED_TRACE(line);
    EXPECT_GE(Call(unrar, line).code, 0x8000);
  }
  EXPECT_FALSE(lib.Entry<TArcCheckArchiveProc>("UnrarCheckArchive")("C:\\set.part1.rar", CHECKARCHIVE_FULLCRC));
  EXPECT_FALSE(fs::exists(drive.Path() + "/x/test.bin"));
}

// libarchive's RAR 5 reader asks malloc for nearly 2^64 bytes on this
// archive and gives up when it gets nothing: a damage error, nothing
// written.
TEST_F(FuzzFindings, RarHeaderAskingForAnAbsurdAllocation) {
  Place("rar5-absurd-allocation.rar", "huge.rar");
  arctest::RealLibrary lib{"UNRAR32.DLL"};
  const auto unrar = lib.Entry<TArcCommandProc>("Unrar");
  EXPECT_GE(Call(unrar, "-t  \"C:\\huge.rar\" ").code, 0x8000);
  EXPECT_GE(Call(unrar, "-x -y  \"C:\\huge.rar\" \"C:\\x\\\" ").code, 0x8000);
  EXPECT_FALSE(lib.Entry<TArcCheckArchiveProc>("UnrarCheckArchive")("C:\\huge.rar", CHECKARCHIVE_FULLCRC));
}

}  // namespace
