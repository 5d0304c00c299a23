// ZIP32J.DLL and UNZIP32.DLL: packing read back by unzip, names in UTF-8
// with the language-encoding flag, levels, adding to and deleting from an
// archive, extraction of what other tools made, unsafe and damaged
// archives, the offsets of self-extracting programs, listings, progress.
#include <zlib.h>

#include <filesystem>

#include "ArcTestKit.h"
#include "support/Cp932.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

class ZipLibraries : public ::testing::Test {
 protected:
  void SetUp() override {
    arctest::WriteTree(P("src"), arctest::SampleTree());
    fs::create_directories(P("out"));
  }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  // The line the ZIP back-end builds: file names with forward slashes.
  arctest::CommandResult PackSample(const std::string& switches, const std::string& archive = "a.zip") {
    return Call(zip, " " + switches + "  \"C:\\out\\" + archive +
                         "\" \"C:\\src\\\" \"top.txt\" \"docs/readme.txt\" \"docs/日本語ファイル.txt\" "
                         "\"data/random.bin\" \"data/sub/empty.txt\" ");
  }
  std::string Names(const std::string& archive) {
    return Tool("LC_ALL=C.UTF-8 unzip -Z1 " + Sh(P(archive)) + " | sort").output;
  }

  vxtest::DriveC drive;
  arctest::RealLibrary zip32j{"ZIP32J.DLL"};
  arctest::RealLibrary unzip32{"UNZIP32.DLL"};
  TArcCommandProc zip = zip32j.Entry<TArcCommandProc>("Zip");
  TArcCommandProc unzip = unzip32.Entry<TArcCommandProc>("UnZip");
};

// Flags of every local header whose name is not plain ASCII.
std::vector<uint16_t> NonAsciiNameFlags(const std::string& bytes) {
  std::vector<uint16_t> flags;
  for (size_t p = bytes.find("PK\x03\x04"); p != std::string::npos; p = bytes.find("PK\x03\x04", p + 4)) {
    if (p + 30 > bytes.size()) break;
    const auto u16 = [&](size_t at) { return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                                                   (static_cast<unsigned char>(bytes[at + 1]) << 8)); };
    const std::string name = bytes.substr(p + 30, u16(p + 26));
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
      flags.push_back(u16(p + 6));
  }
  return flags;
}

TEST_F(ZipLibraries, PackedArchivesPassUnzipAndComeBackWhole) {
  const auto r = PackSample("-D");
  ASSERT_EQ(r.code, 0) << r.output;
  const auto t = Tool("unzip -t " + Sh(P("out/a.zip")));
  EXPECT_EQ(t.status, 0) << t.output;
  EXPECT_NE(t.output.find("No errors detected"), std::string::npos) << t.output;
  EXPECT_EQ(Names("out/a.zip"),
            "data/random.bin\ndata/sub/empty.txt\ndocs/readme.txt\ndocs/日本語ファイル.txt\ntop.txt\n");
  ASSERT_EQ(Tool("LC_ALL=C.UTF-8 unzip -q " + Sh(P("out/a.zip")) + " -d " + Sh(P("x"))).status, 0);
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::SampleTree()), "");
  const auto flags = NonAsciiNameFlags(drive.ReadFile("out/a.zip"));
  ASSERT_EQ(flags.size(), 1u);
  EXPECT_TRUE(flags[0] & 0x0800);
}

TEST_F(ZipLibraries, JunkedPathsAndDirectoryEntries) {
  ASSERT_EQ(Call(zip, " -D -j  \"C:\\out\\j.zip\" \"C:/src/docs/readme.txt\" \"C:/src/top.txt\" ").code, 0);
  EXPECT_EQ(Names("out/j.zip"), "readme.txt\ntop.txt\n");
  ASSERT_EQ(Call(zip, " -r  \"C:\\out\\d.zip\" \"C:\\src\\\" \"data\" ").code, 0);
  EXPECT_EQ(Names("out/d.zip"), "data/\ndata/random.bin\ndata/sub/\ndata/sub/empty.txt\n");
  ASSERT_EQ(Call(zip, " -D -r  \"C:\\out\\n.zip\" \"C:\\src\\\" \"data\" ").code, 0);
  EXPECT_EQ(Names("out/n.zip"), "data/random.bin\ndata/sub/empty.txt\n");
  // Without -r a directory is its own entry only.
  ASSERT_EQ(Call(zip, "  \"C:\\out\\e.zip\" \"C:\\src\\\" \"data\" ").code, 0);
  EXPECT_EQ(Names("out/e.zip"), "data/\n");
}

TEST_F(ZipLibraries, LevelsStoreOrDeflate) {
  ASSERT_EQ(PackSample("-D -0", "0.zip").code, 0);
  ASSERT_EQ(PackSample("-D -1", "1.zip").code, 0);
  ASSERT_EQ(PackSample("-D -9", "9.zip").code, 0);
  EXPECT_NE(Tool("unzip -v " + Sh(P("out/0.zip"))).output.find("Stored"), std::string::npos);
  EXPECT_EQ(Tool("unzip -v " + Sh(P("out/0.zip"))).output.find("Defl"), std::string::npos);
  EXPECT_GT(fs::file_size(P("out/0.zip")), fs::file_size(P("out/1.zip")));
  EXPECT_GE(fs::file_size(P("out/1.zip")), fs::file_size(P("out/9.zip")));
  for (const char* a : {"out/0.zip", "out/1.zip", "out/9.zip"}) EXPECT_EQ(Tool("unzip -tq " + Sh(P(a))).status, 0);
}

TEST_F(ZipLibraries, AddingReplacingUpdatingFresheningAndDeleting) {
  ASSERT_EQ(Call(zip, " -D  \"C:\\out\\a.zip\" \"C:\\src\\\" \"top.txt\" ").code, 0);
  ASSERT_EQ(Call(zip, " -D  \"C:\\out\\a.zip\" \"C:\\src\\\" \"docs/readme.txt\" ").code, 0);
  EXPECT_EQ(Names("out/a.zip"), "docs/readme.txt\ntop.txt\n");
  // A plain add replaces; -u replaces only with a newer file.
  drive.WriteFile("src/top.txt", "second\n");
  fs::last_write_time(P("src/top.txt"), fs::last_write_time(P("src/top.txt")) - std::chrono::hours(48));
  ASSERT_EQ(Call(zip, " -D -u  \"C:\\out\\a.zip\" \"C:\\src\\\" \"top.txt\" ").code, 0);
  EXPECT_EQ(Tool("unzip -p " + Sh(P("out/a.zip")) + " top.txt").output, "hello\n");
  ASSERT_EQ(Call(zip, " -D  \"C:\\out\\a.zip\" \"C:\\src\\\" \"top.txt\" ").code, 0);
  EXPECT_EQ(Tool("unzip -p " + Sh(P("out/a.zip")) + " top.txt").output, "second\n");
  // Freshen touches members only.
  drive.WriteFile("src/docs/readme.txt", "fresh\n");
  fs::last_write_time(P("src/docs/readme.txt"), fs::last_write_time(P("src/docs/readme.txt")) + std::chrono::hours(1));
  ASSERT_EQ(Call(zip, "-f -D  \"C:\\out\\a.zip\" \"C:\\src\\\" \"docs/readme.txt\" \"data/random.bin\" ").code, 0);
  EXPECT_EQ(Names("out/a.zip"), "docs/readme.txt\ntop.txt\n");
  EXPECT_EQ(Tool("unzip -p " + Sh(P("out/a.zip")) + " docs/readme.txt").output, "fresh\n");
  ASSERT_EQ(Call(zip, "-d -D  \"C:\\out\\a.zip\" \"docs/*\" ").code, 0);
  EXPECT_EQ(Names("out/a.zip"), "top.txt\n");
  EXPECT_GE(Call(zip, "-d -D  \"C:\\out\\a.zip\" \"nothing*\" ").code, 0x8000);
  EXPECT_EQ(Tool("unzip -tq " + Sh(P("out/a.zip"))).status, 0);
}

TEST_F(ZipLibraries, BracketsInNamesAreTakenLiterallyWhenEscaped) {
  drive.WriteFile("src/a[1].txt", "bracket\n");
  ASSERT_EQ(Call(zip, " -D  \"C:\\out\\b.zip\" \"C:\\src\\\" \"a[[]1].txt\" ").code, 0);
  EXPECT_EQ(Names("out/b.zip"), "a[1].txt\n");
  const auto r = Call(unzip, "-x -o  \"C:\\out\\b.zip\" \"C:\\x\\\" \"a[[]1].txt\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(drive.ReadFile("x/a[1].txt"), "bracket\n");
}

TEST_F(ZipLibraries, ExtractsWhatInfoZipPackedAndCp932Names) {
  ASSERT_EQ(Tool("cd " + Sh(P("src")) + " && LC_ALL=C.UTF-8 zip -qr ../in.zip .").status, 0);
  auto r = Call(unzip, "-x -o --i  \"C:\\in.zip\" \"C:\\x\\\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::SampleTree()), "");
  // A name in code page 932 without the flag, as Japanese Windows tools write it.
  const std::string script =
      "import zipfile\n"
      "z = zipfile.ZipFile(" + Sh(P("sjis.zip")) + ", 'w')\n"
      "z.writestr('abcdef.txt', 'sjis content')\n"
      "z.close()\n"
      "b = open(" + Sh(P("sjis.zip")) + ", 'rb').read().replace(b'abcdef', '日本語'.encode('cp932'))\n"
      "open(" + Sh(P("sjis.zip")) + ", 'wb').write(b)\n";
  ASSERT_EQ(Tool("python3 -c " + Sh(script)).status, 0);
  r = Call(unzip, "-x -j  \"C:\\sjis.zip\" \"C:\\y\\\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(drive.ReadFile("y/日本語.txt"), "sjis content");
  EXPECT_NE(r.output.find("日本語.txt"), std::string::npos) << r.output;
}

TEST_F(ZipLibraries, ExtractionKeepsExistingFilesUnlessOverwriting) {
  ASSERT_EQ(PackSample("-D").code, 0);
  drive.WriteFile("x/top.txt", "mine\n");
  ASSERT_EQ(Call(unzip, "-x  \"C:\\out\\a.zip\" \"C:\\x\\\" \"*.txt\" ").code, 0);
  EXPECT_EQ(drive.ReadFile("x/top.txt"), "mine\n");
  EXPECT_EQ(drive.ReadFile("x/docs/readme.txt"), arctest::SampleTree()["docs/readme.txt"]);
  EXPECT_FALSE(fs::exists(P("x/data/random.bin")));
  ASSERT_EQ(Call(unzip, "-x -o -j  \"C:\\out\\a.zip\" \"C:\\x\\\" \"top.txt\" ").code, 0);
  EXPECT_EQ(drive.ReadFile("x/top.txt"), "hello\n");
}

TEST_F(ZipLibraries, RefusesUnsafeMembersAndDamagedArchives) {
  fs::create_directories(P("outside"));
  fs::create_directories(P("x"));
  fs::create_directory_symlink(P("outside"), P("x/pre"));
  const std::string script =
      "import zipfile\n"
      "z = zipfile.ZipFile(" + Sh(P("evil.zip")) + ", 'w')\n"
      "for n in ['../evil1.txt', '/abs/rooted.txt', 'C:/drive.txt', 'pre/evil4.txt', '/../evil5.txt', 'ok.txt']:\n"
      "    z.writestr(zipfile.ZipInfo(n), 'data')\n"
      "z.close()\n";
  ASSERT_EQ(Tool("python3 -c " + Sh(script)).status, 0);
  const auto r = Call(unzip, "-x -o  \"C:\\evil.zip\" \"C:\\x\\\" ");
  EXPECT_EQ(r.code, 0x8013) << r.output;
  for (const char* name : {"../evil1.txt", "pre/evil4.txt", "/../evil5.txt"})
    EXPECT_NE(r.output.find(std::string("Refused: ") + name), std::string::npos) << name << "\n" << r.output;
  // Rooted names land below the destination, each root said once.
  EXPECT_EQ(arctest::Count(r.output, "Removed the leading \"/\" from member names"), 1u) << r.output;
  EXPECT_EQ(arctest::Count(r.output, "Removed the leading \"C:/\" from member names"), 1u) << r.output;
  EXPECT_EQ(drive.ReadFile("x/abs/rooted.txt"), "data");
  EXPECT_EQ(drive.ReadFile("x/drive.txt"), "data");
  EXPECT_TRUE(fs::is_empty(P("outside")));
  EXPECT_FALSE(fs::exists(P("evil5.txt")));
  EXPECT_EQ(drive.ReadFile("x/ok.txt"), "data");

  ASSERT_EQ(PackSample("-D").code, 0);
  const std::string good = drive.ReadFile("out/a.zip");
  std::string flipped = good;
  for (size_t i = 200; i < 60000; i += 101) flipped[i] = static_cast<char>(~flipped[i]);
  drive.WriteFile("flipped.zip", flipped);
  drive.WriteFile("cut.zip", good.substr(0, good.size() - 30));
  drive.WriteFile("garbage.zip", arctest::RandomBytes(3000, 5));
  auto check = unzip32.Entry<TArcCheckArchiveProc>("UnZipCheckArchive");
  EXPECT_TRUE(check("C:\\out\\a.zip", CHECKARCHIVE_FULLCRC));
  for (const char* name : {"flipped.zip", "cut.zip", "garbage.zip"}) {
    const auto e = Call(unzip, std::string("-x -o  \"C:\\") + name + "\" \"C:\\y\\\" ");
    EXPECT_GE(e.code, 0x8000) << name << e.output;
    EXPECT_FALSE(check((std::string("C:\\") + name).c_str(), CHECKARCHIVE_FULLCRC)) << name;
  }
}

TEST_F(ZipLibraries, AdjustingAProgramMakesUnzipContent) {
  ASSERT_EQ(PackSample("-D").code, 0);
  drive.WriteFile("out/a.EXE", arctest::RandomBytes(12345, 9) + drive.ReadFile("out/a.zip"));
  const auto before = Tool("unzip -t " + Sh(P("out/a.EXE")));
  EXPECT_NE(before.output.find("extra bytes"), std::string::npos) << before.output;
  const auto r = Call(zip, "-A C:\\out\\a.EXE");
  ASSERT_EQ(r.code, 0) << r.output;
  const auto after = Tool("unzip -t " + Sh(P("out/a.EXE")));
  EXPECT_EQ(after.status, 0) << after.output;
  EXPECT_EQ(after.output.find("warning"), std::string::npos) << after.output;
  EXPECT_EQ(after.output.find("extra bytes"), std::string::npos) << after.output;
  // Adjusting again changes nothing; a path with blanks needs no quotes.
  EXPECT_EQ(Call(zip, "-A C:\\out\\a.EXE").code, 0);
  fs::copy_file(P("out/a.zip"), P("out/with blank.zip"));
  drive.WriteFile("out/with blank.EXE", std::string(777, 'S') + drive.ReadFile("out/with blank.zip"));
  EXPECT_EQ(Call(zip, "-A C:\\out\\with blank.EXE").code, 0);
  EXPECT_EQ(Tool("unzip -t " + Sh(P("out/with blank.EXE"))).status, 0);
  EXPECT_GE(Call(zip, "-A C:\\out\\none.EXE").code, 0x8000);
}

TEST_F(ZipLibraries, ListingFromEitherLibraryGivesCrcAndSizes) {
  ASSERT_EQ(PackSample("-D").code, 0);
  for (const arctest::RealLibrary* lib : {&zip32j, &unzip32}) {
    auto open = lib->Entry<TArcOpenArchiveProc>("UnZipOpenArchive");
    auto first = lib->Entry<TArcFindFirstProc>("UnZipFindFirst");
    auto next = lib->Entry<TArcFindNextProc>("UnZipFindNext");
    auto close = lib->Entry<TArcCloseArchiveProc>("UnZipCloseArchive");
    HARC h = open(nullptr, "C:\\out\\a.zip", M_ERROR_MESSAGE_OFF | M_REGARDLESS_INIT_FILE);
    ASSERT_NE(h, nullptr);
    INDIVIDUALINFO info;
    int count = 0;
    for (int r = first(h, "*.*", &info); r == 0; r = next(h, &info)) {
      const std::string name = vxtest::Utf8(info.szFileName);
      const std::string content = arctest::SampleTree()[name];
      ++count;
      EXPECT_EQ(info.dwOriginalSize, content.size()) << name;
      EXPECT_EQ(info.dwCRC, crc32(0, reinterpret_cast<const Bytef*>(content.data()), content.size())) << name;
    }
    EXPECT_EQ(count, 5);
    ASSERT_EQ(first(h, vxtest::Sjis("*日本語*").c_str(), &info), 0);
    EXPECT_EQ(vxtest::Utf8(info.szFileName), "docs/日本語ファイル.txt");
    EXPECT_EQ(close(h), 0);
  }
}

TEST_F(ZipLibraries, PackingProgressGoesToTheWindowRegisteredWithUnzip) {
  auto setOwner = unzip32.Entry<TArcSetOwnerWindowExProc>("UnZipSetOwnerWindowEx");
  auto killOwner = unzip32.Entry<TArcKillOwnerWindowExProc>("UnZipKillOwnerWindowEx");
  arctest::ProgressWindow window;
  setOwner(window.Handle(), nullptr);
  ASSERT_EQ(PackSample("-D").code, 0);
  EXPECT_EQ(std::count(window.States().begin(), window.States().end(), static_cast<WPARAM>(ARCEXTRACT_BEGIN)), 5);
  // The third message is the first member's end: the stop comes inside it.
  arctest::ProgressWindow stopper(3);
  setOwner(stopper.Handle(), nullptr);
  EXPECT_EQ(PackSample("-D", "stopped.zip").code, ARCERR_USER_CANCEL);
  EXPECT_EQ(Call(unzip, "-x  \"C:\\out\\a.zip\" \"C:\\x\\\" ").code, ARCERR_USER_CANCEL);
  killOwner(stopper.Handle());
  EXPECT_FALSE(fs::exists(P("out/stopped.zip")));
}

struct BadZipLine {
  bool packing;
  const char* line;
  const char* named;
};

class ZipBadLines : public ZipLibraries, public ::testing::WithParamInterface<BadZipLine> {};

TEST_P(ZipBadLines, GiveAnErrorCodeAndAReport) {
  const auto r = Call(GetParam().packing ? zip : unzip, GetParam().line);
  EXPECT_GE(r.code, 0x8000);
  EXPECT_NE(r.output.find(GetParam().named), std::string::npos) << r.output;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ZipBadLines,
    ::testing::Values(BadZipLine{true, " -Z  \"C:\\out\\a.zip\" \"C:/src/top.txt\" ", "-Z"},
                      BadZipLine{true, " -D  \"C:\\out\\a.zip\" \"C:/src/gone.txt\" ", "gone.txt"},
                      BadZipLine{true, " -D  \"C:\\out\\a.zip\" ", "no files"},
                      BadZipLine{true, " -D  \"C:\\out\\a.zip", "quote"},
                      BadZipLine{false, "-q  \"C:\\out\\a.zip\" ", "-q"},
                      BadZipLine{false, "-x -y  \"C:\\out\\a.zip\" ", "-y"},
                      BadZipLine{false, "-x  \"C:\\out\\none.zip\" ", "none.zip"}));

}  // namespace
