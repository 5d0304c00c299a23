// Self-extracting ZIP programs: stub + archive, then "-A" through ZIP32J.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "BackendFixture.h"
#include "archivers/ZIP32.h"
#include "support/Scratch.h"

using namespace vx;
using backendtest::ArchiverMessage;
using backendtest::OpenDescriptorCount;
using backendtest::Window;
using vxtest::Sjis;

namespace {

using namespace std::string_literals;

const std::string kArchive = "PK\x03\x04 archive bytes\r\n\x1a\0end"s;
const std::string kWin32Stub = "MZ win32 stub\0\xff"s;
const std::string kDosStub = "MZ dos stub\0\x01"s;

class ZipSfx : public ::testing::Test {
 protected:
  void SetUp() override {
    arctest::Reset();
    drive.WriteFile("T/a.zip", kArchive);
  }
  void TearDown() override { TZip32::FreeDLL(); }

  // A stub in the test library folder, which is on the search path.
  void PutStub(const std::string& name, const std::string& content) {
    std::ofstream(std::filesystem::path(libs.Folder()) / name, std::ios::binary) << content;
  }
  void PutBothStubs() {
    PutStub("sfx32gui.dat", kWin32Stub);
    PutStub("sfx16.dat", kDosStub);
  }

  vxtest::DriveC drive;
  vxtest::TestLibraries libs{{"full/UNZIP32.DLL", "full/ZIP32J.DLL"}};
  std::string output;
};

struct StubCase {
  int gw;
  const std::string* stub;
};

class ZipSfxStub : public ZipSfx, public ::testing::WithParamInterface<StubCase> {};

}  // namespace

TEST_P(ZipSfxStub, ProgramIsStubThenArchive) {
  PutBothStubs();
  TZip32 zip;
  TArchiverOptions options;
  options.gw = static_cast<int8_t>(GetParam().gw);
  arctest::ScriptResult("ZIP32J.DLL", "Zip", 7);
  EXPECT_EQ(zip.MakeSfx(Window(0x21), "C:\\T\\a.zip", options, "", output), 7);
  EXPECT_EQ(drive.ReadFile("T/a.EXE"), *GetParam().stub + kArchive);
  EXPECT_EQ(drive.ReadFile("T/a.zip"), kArchive);  // left in place
  EXPECT_EQ(zip.CmdLine, "-A C:\\T\\a.EXE");
  const auto calls = arctest::Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].library, "ZIP32J.DLL");
  EXPECT_EQ(calls[0].entry, "Zip");
  EXPECT_EQ(calls[0].text, "-A C:\\T\\a.EXE");
  EXPECT_EQ(calls[0].window, Window(0x21));
}

INSTANTIATE_TEST_SUITE_P(ZipBackend, ZipSfxStub,
                         ::testing::Values(StubCase{-1, &kDosStub}, StubCase{0, &kDosStub},
                                           StubCase{1, &kWin32Stub}, StubCase{3, &kWin32Stub}),
                         [](const ::testing::TestParamInfo<StubCase>& info) {
                           return info.param.gw < 0 ? std::string("gwUnset")
                                                    : "gw" + std::to_string(info.param.gw);
                         });

TEST_F(ZipSfx, ProgramGoesIntoTheGivenDirectory) {
  PutBothStubs();
  drive.MakeDir("out");
  drive.MakeDir("my out");
  TZip32 zip;
  TArchiverOptions options;
  options.gw = 3;
  struct Row {
    const char* dir;
    const char* program;  // below C:
    const char* line;     // the path is never quoted, blanks and all
  };
  const Row rows[] = {
      {"C:\\out", "out/a.EXE", "-A C:\\out\\a.EXE"},
      {"C:\\out\\", "out/a.EXE", "-A C:\\out\\a.EXE"},
      {"C:\\my out", "my out/a.EXE", "-A C:\\my out\\a.EXE"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.dir);
    arctest::Reset();
    EXPECT_EQ(zip.MakeSfx(nullptr, "C:\\T\\a.zip", options, row.dir, output), 0);
    EXPECT_EQ(drive.ReadFile(row.program), kWin32Stub + kArchive);
    EXPECT_EQ(arctest::CallsOf("Zip").at(0).text, row.line);
    EXPECT_EQ(zip.CmdLine, row.line);
  }
  EXPECT_FALSE(drive.Exists("T/a.EXE"));
}

TEST_F(ZipSfx, AnExistingProgramIsReplaced) {
  PutBothStubs();
  drive.WriteFile("T/a.EXE", std::string(200, 'o'));
  TZip32 zip;
  TArchiverOptions options;
  zip.MakeSfx(nullptr, "C:\\T\\a.zip", options, "", output);
  EXPECT_EQ(drive.ReadFile("T/a.EXE"), kDosStub + kArchive);
}

TEST_F(ZipSfx, MissingStubRaisesItsMessageAndWritesNothing) {
  struct Row {
    int gw;
    const char* present;  // the other stub is there
    const char* message;
  };
  const Row rows[] = {
      {3, "sfx16.dat", "zip 書庫からのWin32自己解凍書庫の作成には sfx32gui.dat が必要です。"},
      {-1, "sfx32gui.dat", "zip 書庫からのDOS自己解凍書庫の作成には sfx16.dat が必要です。"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.gw);
    libs.Remove("sfx16.dat");
    libs.Remove("sfx32gui.dat");
    PutStub(row.present, "stub");
    TZip32 zip;
    zip.CmdLine = "before";
    TArchiverOptions options;
    options.gw = static_cast<int8_t>(row.gw);
    EXPECT_EQ(ArchiverMessage([&] { zip.MakeSfx(nullptr, "C:\\T\\a.zip", options, "", output); }),
              Sjis(row.message));
    EXPECT_FALSE(drive.Exists("T/a.EXE"));
    EXPECT_EQ(zip.CmdLine, "before");
    EXPECT_TRUE(arctest::Calls().empty());
  }
}

TEST_F(ZipSfx, NeedsZip32j) {
  PutBothStubs();
  libs.Remove("ZIP32J.DLL");
  libs.Add("full/LMZIP32.DLL");
  TZip32 zip;
  TArchiverOptions options;
  EXPECT_EQ(ArchiverMessage([&] { zip.MakeSfx(nullptr, "C:\\T\\a.zip", options, "", output); }),
            Sjis("ZIP 形式書庫からの自己解凍書庫作成には ZIP32J.DLL が必要です。"));
  EXPECT_FALSE(drive.Exists("T/a.EXE"));
  EXPECT_TRUE(arctest::Calls().empty());
}

TEST_F(ZipSfx, FileErrorsPropagateAndCloseEveryFile) {
  PutBothStubs();
  TZip32 zip;
  TArchiverOptions options;
  const int before = OpenDescriptorCount();

  EXPECT_THROW(zip.MakeSfx(nullptr, "C:\\T\\missing.zip", options, "", output), EFOpenError);
  EXPECT_FALSE(drive.Exists("T/missing.EXE"));
  EXPECT_EQ(OpenDescriptorCount(), before);

  // The archive is open when the program cannot be created.
  EXPECT_THROW(zip.MakeSfx(nullptr, "C:\\T\\a.zip", options, "C:\\nowhere", output), EFCreateError);
  EXPECT_EQ(OpenDescriptorCount(), before);

  // All three are open when reading the stub fails.
  libs.Remove("sfx16.dat");
  std::filesystem::create_symlink("/proc/self/mem", std::filesystem::path(libs.Folder()) / "sfx16.dat");
  EXPECT_THROW(zip.MakeSfx(nullptr, "C:\\T\\a.zip", options, "", output), EReadError);
  EXPECT_EQ(OpenDescriptorCount(), before);
  EXPECT_EQ(drive.ReadFile("T/a.zip"), kArchive);

  EXPECT_TRUE(arctest::Calls().empty());
}

TEST_F(ZipSfx, CopyFailingPartWayClosesEveryFileAndRunsNothing) {
  PutBothStubs();
  // The program file is a link to a device that refuses every write.
  drive.MakeDir("full");
  std::filesystem::create_symlink("/dev/full", std::filesystem::path(drive.Path()) / "full/a.EXE");
  TZip32 zip;
  zip.CmdLine = "before";
  TArchiverOptions options;
  const int before = OpenDescriptorCount();
  EXPECT_THROW(zip.MakeSfx(nullptr, "C:\\T\\a.zip", options, "C:\\full", output), EWriteError);
  EXPECT_EQ(OpenDescriptorCount(), before);
  EXPECT_EQ(zip.CmdLine, "before");
  EXPECT_TRUE(arctest::Calls().empty());
  EXPECT_EQ(drive.ReadFile("T/a.zip"), kArchive);
}

TEST_F(ZipSfx, ProgramNamingTheArchiveItselfIsRefused) {
  PutBothStubs();
  // A self-extracting program taken for a ZIP archive by its content.
  drive.WriteFile("T/old.exe", kArchive);
  TZip32 zip;
  TArchiverOptions options;
  const int before = OpenDescriptorCount();
  EXPECT_THROW(zip.MakeSfx(nullptr, "C:\\T\\old.exe", options, "", output), EFCreateError);
  EXPECT_THROW(zip.MakeSfx(nullptr, "C:\\T\\old.exe", options, "c:\\t\\", output), EFCreateError);
  EXPECT_EQ(OpenDescriptorCount(), before);
  EXPECT_EQ(drive.ReadFile("T/old.exe"), kArchive);
  EXPECT_TRUE(arctest::Calls().empty());
}
