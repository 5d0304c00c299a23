// kmtarsef.exe programs and the tar content check.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "BackendFixture.h"
#include "archivers/TAR32.h"
#include "platform/posix/vxposix.h"
#include "support/Scratch.h"

using namespace vx;
using namespace std::string_literals;
using backendtest::ArchiverMessage;
using backendtest::OpenDescriptorCount;
using backendtest::Window;
using vxtest::Sjis;

namespace {

const std::string kArchive = "\x1f\x8b tgz bytes\0\r\n"s;
const std::string kStub = "MZ kmtarsef\0\xfe"s;

class TarSfx : public ::testing::Test {
 protected:
  void SetUp() override {
    arctest::Reset();
    vxposix::ClearForegroundLog();
    drive.WriteFile("T/a.tgz", kArchive);
  }
  void TearDown() override { TTar32::FreeDLL(); }

  void PutStub() {
    std::ofstream(std::filesystem::path(libs.Folder()) / "kmtarsef.exe", std::ios::binary) << kStub;
  }

  vxtest::DriveC drive;
  vxtest::TestLibraries libs{{"full/tar32.dll"}};
  std::string output;
};

}  // namespace

TEST_F(TarSfx, ProgramIsStubThenArchive) {
  PutStub();
  drive.MakeDir("out");
  struct Row {
    const char* dir;
    const char* program;  // below C:
  };
  const Row rows[] = {{"", "T/a.EXE"}, {"C:\\T\\", "T/a.EXE"}, {"C:\\out", "out/a.EXE"}};
  for (bool gzip : {false, true}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.dir) + (gzip ? " tgz" : " tar"));
      std::unique_ptr<TTar32> tar = gzip ? std::make_unique<TTgz32>() : std::make_unique<TTar32>();
      tar->CmdLine = "before";
      TArchiverOptions options;
      EXPECT_EQ(tar->MakeSfx(Window(0x21), "C:\\T\\a.tgz", options, row.dir, output), 0);
      EXPECT_EQ(drive.ReadFile(row.program), kStub + kArchive);
      EXPECT_EQ(drive.ReadFile("T/a.tgz"), kArchive);  // left in place
      EXPECT_EQ(tar->CmdLine, "before");
      std::filesystem::remove(std::filesystem::path(drive.Path()) / row.program);
    }
  }
  EXPECT_TRUE(arctest::Calls().empty());
  EXPECT_TRUE(vxposix::ForegroundLog().empty());
}

TEST_F(TarSfx, AnExistingProgramIsReplaced) {
  PutStub();
  drive.WriteFile("T/a.EXE", std::string(300, 'o'));
  TTar32 tar;
  TArchiverOptions options;
  tar.MakeSfx(nullptr, "C:\\T\\a.tgz", options, "", output);
  EXPECT_EQ(drive.ReadFile("T/a.EXE"), kStub + kArchive);
}

TEST_F(TarSfx, Bz2IsRefusedEvenWithTheStubPresent) {
  PutStub();
  drive.WriteFile("T/a.bz2", kArchive);
  TBZ232 bz2;
  TArchiverOptions options;
  EXPECT_EQ(ArchiverMessage([&] { bz2.MakeSfx(nullptr, "C:\\T\\a.bz2", options, "", output); }),
            Sjis("BZ2 形式書庫は自己解凍形式にできません。"));
  EXPECT_FALSE(drive.Exists("T/a.EXE"));
}

TEST_F(TarSfx, MissingStubRaisesAndWritesNothing) {
  TTgz32 tgz;
  TArchiverOptions options;
  EXPECT_EQ(ArchiverMessage([&] { tgz.MakeSfx(nullptr, "C:\\T\\a.tgz", options, "", output); }),
            Sjis("tar/tgz 書庫からの自己解凍書庫の作成には kmtarsef.exe が必要です。"));
  EXPECT_FALSE(drive.Exists("T/a.EXE"));
}

TEST_F(TarSfx, FileErrorsPropagateAndCloseEveryFile) {
  PutStub();
  TTar32 tar;
  TArchiverOptions options;
  const int before = OpenDescriptorCount();

  EXPECT_THROW(tar.MakeSfx(nullptr, "C:\\T\\missing.tgz", options, "", output), EFOpenError);
  EXPECT_FALSE(drive.Exists("T/missing.EXE"));
  EXPECT_EQ(OpenDescriptorCount(), before);

  // The archive is open when the program cannot be created.
  EXPECT_THROW(tar.MakeSfx(nullptr, "C:\\T\\a.tgz", options, "C:\\nowhere", output), EFCreateError);
  EXPECT_EQ(OpenDescriptorCount(), before);

  // All three are open when reading the stub fails; the target stays.
  std::filesystem::remove(std::filesystem::path(libs.Folder()) / "kmtarsef.exe");
  std::filesystem::create_symlink("/proc/self/mem",
                                  std::filesystem::path(libs.Folder()) / "kmtarsef.exe");
  EXPECT_THROW(tar.MakeSfx(nullptr, "C:\\T\\a.tgz", options, "", output), EReadError);
  EXPECT_EQ(OpenDescriptorCount(), before);
  EXPECT_TRUE(drive.Exists("T/a.EXE"));
  EXPECT_EQ(drive.ReadFile("T/a.tgz"), kArchive);
}

TEST_F(TarSfx, CopyFailingPartWayClosesEveryFile) {
  PutStub();
  // The target is a link to a device that refuses every write.
  drive.MakeDir("full");
  std::filesystem::create_symlink("/dev/full", std::filesystem::path(drive.Path()) / "full/a.EXE");
  TTgz32 tgz;
  TArchiverOptions options;
  const int before = OpenDescriptorCount();
  EXPECT_THROW(tgz.MakeSfx(nullptr, "C:\\T\\a.tgz", options, "C:\\full", output), EWriteError);
  EXPECT_EQ(OpenDescriptorCount(), before);
  EXPECT_EQ(drive.ReadFile("T/a.tgz"), kArchive);
}

TEST_F(TarSfx, ProgramNamingTheArchiveOrTheStubIsRefused) {
  PutStub();
  TTgz32 tgz;
  TArchiverOptions options;
  const int before = OpenDescriptorCount();

  drive.WriteFile("T/old.exe", kArchive);
  EXPECT_THROW(tgz.MakeSfx(nullptr, "C:\\T\\old.exe", options, "", output), EFCreateError);
  EXPECT_EQ(drive.ReadFile("T/old.exe"), kArchive);

  // An archive beside the stub, named like it: the program would be the stub.
  const std::filesystem::path beside = std::filesystem::path(libs.Folder()) / "KMTARSEF.tgz";
  std::ofstream(beside, std::ios::binary) << kArchive;
  std::string archive;
  ASSERT_TRUE(vxposix::ToWinPath(beside.string(), archive));
  EXPECT_THROW(tgz.MakeSfx(nullptr, archive, options, "", output), EFCreateError);
  EXPECT_EQ(OpenDescriptorCount(), before);
  std::ifstream stub(std::filesystem::path(libs.Folder()) / "kmtarsef.exe", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stub), {}), kStub);
}

// ---- DetectTarArchiveType -----------------------------------------------------------

namespace {

struct TypeCase {
  int libraryAnswer;
  TArchiverType type;
};

class TarTypeDetection : public TarSfx, public ::testing::WithParamInterface<TypeCase> {};

}  // namespace

TEST_P(TarTypeDetection, MapsTheLibraryAnswer) {
  arctest::ScriptResult("tar32.dll", "TarGetArchiveType", GetParam().libraryAnswer);
  EXPECT_EQ(DetectTarArchiveType("rel\\a.bin"), GetParam().type);
  const auto calls = arctest::CallsOf("TarGetArchiveType");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].text, "rel\\a.bin");  // passed unchanged
}

INSTANTIATE_TEST_SUITE_P(
    TarBackend, TarTypeDetection,
    ::testing::Values(TypeCase{-1, atNone}, TypeCase{0, atNone}, TypeCase{1, atTar},
                      TypeCase{2, atTgz}, TypeCase{3, atTgz}, TypeCase{4, atTgz},
                      TypeCase{5, atTgz}, TypeCase{6, atBZ2}, TypeCase{7, atBZ2},
                      TypeCase{8, atNone}, TypeCase{9, atNone}),
    [](const ::testing::TestParamInfo<TypeCase>& info) {
      const int answer = info.param.libraryAnswer;
      return answer < 0 ? std::string("Minus1") : "Answer" + std::to_string(answer);
    });

TEST_F(TarSfx, DetectionAnswersNoneWhenLibraryOrEntryIsMissing) {
  libs.Remove("tar32.dll");
  EXPECT_EQ(DetectTarArchiveType("C:\\T\\a.tgz"), atNone);

  libs.Add("no-type/tar32.dll");
  EXPECT_EQ(DetectTarArchiveType("C:\\T\\a.tgz"), atNone);
  EXPECT_TRUE(arctest::Calls().empty());
}

TEST_F(TarSfx, DetectionLoadsTheLibrary) {
  arctest::ScriptResult("tar32.dll", "TarGetArchiveType", 1);
  EXPECT_EQ(DetectTarArchiveType("C:\\T\\a.tar"), atTar);
  libs.Remove("tar32.dll");
  EXPECT_NO_THROW(TTar32 tar);  // still loaded
}
