// UNLHA32.DLL on our arclha: archives lhasa tests and unpacks with the
// names in code page 932, bare names, "u" adding to and replacing in an
// archive, deletion, extraction, unsafe and damaged archives, names that
// cannot be stored, self-extracting programs, listings and progress; and
// archives of other programs' making (old methods, header forms, programs
// with an archive inside, Unix links, 64-bit sizes) against lhasa.
#include <sys/stat.h>

#include <filesystem>

#include "ArcTestKit.h"
#include "support/Cp932.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

class LhaLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    arctest::WriteTree(P("src"), arctest::SampleTree());
    fs::create_directories(P("out"));
  }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  // The line the LHA back-end builds for whole-folder packing.
  arctest::CommandResult PackSample(const std::string& archive = "a.lzh", const std::string& command = "u") {
    return Call(unlha, command + " -+ -x1 -gw3  \"C:\\out\\" + archive +
                           "\" \"C:\\src\\\" \"top.txt\" \"docs\\readme.txt\" \"docs\\日本語ファイル.txt\" "
                           "\"data\\random.bin\" \"data\\sub\\empty.txt\" ");
  }
  // The sample tree with its names in code page 932, as lhasa writes them.
  static arctest::Tree SampleInCp932() {
    arctest::Tree tree;
    for (const auto& [name, content] : arctest::SampleTree()) tree[vxtest::Sjis(name)] = content;
    return tree;
  }

  vxtest::DriveC drive;
  arctest::RealLibrary lib{"UNLHA32.DLL"};
  TArcCommandProc unlha = lib.Entry<TArcCommandProc>("Unlha");
};

TEST_F(LhaLibrary, ArchivesPassLhasaWithCp932NamesAndFitMethods) {
  const auto r = PackSample();
  ASSERT_EQ(r.code, 0) << r.output;
  const auto t = Tool("lha t " + Sh(P("out/a.lzh")));
  EXPECT_EQ(t.status, 0) << t.output;
  fs::create_directories(P("x"));
  ASSERT_EQ(Tool("cd " + Sh(P("x")) + " && lha xq " + Sh(P("out/a.lzh"))).status, 0);
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), SampleInCp932()), "");
  const auto v = Tool("lha v " + Sh(P("out/a.lzh")));
  const auto methodOf = [&](const std::string& name) {
    const size_t at = v.output.find(name);
    return at == std::string::npos ? std::string() : v.output.substr(v.output.rfind('\n', at) + 1, at - v.output.rfind('\n', at) - 1);
  };
  EXPECT_NE(methodOf("random.bin").find("-lh0-"), std::string::npos) << v.output;
  EXPECT_NE(methodOf("readme.txt").find("-lh5-"), std::string::npos) << v.output;
}

TEST_F(LhaLibrary, BareNamesForFullPathsAndOtherMethods) {
  ASSERT_EQ(Call(unlha, "u -+ -x0 -gw3  \"C:\\out\\b.lzh\" \"C:\\src\\top.txt\" \"C:\\src\\docs\\readme.txt\" ").code, 0);
  const auto l = Tool("lha l " + Sh(P("out/b.lzh")));
  EXPECT_NE(l.output.find(" top.txt"), std::string::npos) << l.output;
  EXPECT_NE(l.output.find(" readme.txt"), std::string::npos) << l.output;
  EXPECT_EQ(l.output.find("docs"), std::string::npos) << l.output;
  for (const char* method : {"-o6", "-o7", "-z1"}) {
    const std::string name = std::string("m") + (method + 1) + ".lzh";
    ASSERT_EQ(Call(unlha, std::string("a -+ ") + method + "  \"C:\\out\\" + name + "\" \"C:\\src\\\" \"docs\\readme.txt\" ").code, 0);
    EXPECT_EQ(Tool("lha t " + Sh(P("out/" + name))).status, 0) << method;
  }
  EXPECT_NE(Tool("lha v " + Sh(P("out/mo6.lzh"))).output.find("-lh6-"), std::string::npos);
  EXPECT_NE(Tool("lha v " + Sh(P("out/mo7.lzh"))).output.find("-lh7-"), std::string::npos);
  EXPECT_NE(Tool("lha v " + Sh(P("out/mz1.lzh"))).output.find("-lh0-"), std::string::npos);
}

TEST_F(LhaLibrary, UpdateAddsAndReplacesByTimeFreshenAndDelete) {
  ASSERT_EQ(Call(unlha, "u -+ -x1  \"C:\\out\\u.lzh\" \"C:\\src\\\" \"top.txt\" ").code, 0);
  ASSERT_EQ(Call(unlha, "u -+ -x1  \"C:\\out\\u.lzh\" \"C:\\src\\\" \"docs\\readme.txt\" ").code, 0);
  const auto names = [&] {
    auto tree = arctest::ReadTree(P("ux"));
    fs::remove_all(P("ux"));
    fs::create_directories(P("ux"));
    Tool("cd " + Sh(P("ux")) + " && lha xq " + Sh(P("out/u.lzh")));
    return arctest::ReadTree(P("ux"));
  };
  auto tree = names();
  EXPECT_EQ(tree.size(), 2u);
  // An older file does not replace; -c1 makes it; a newer file replaces.
  drive.WriteFile("src/top.txt", "older\n");
  fs::last_write_time(P("src/top.txt"), fs::file_time_type::clock::now() - std::chrono::hours(48));
  ASSERT_EQ(Call(unlha, "u -+ -x1  \"C:\\out\\u.lzh\" \"C:\\src\\\" \"top.txt\" ").code, 0);
  EXPECT_EQ(names()["top.txt"], "hello\n");
  ASSERT_EQ(Call(unlha, "u -+ -c1 -x1  \"C:\\out\\u.lzh\" \"C:\\src\\\" \"top.txt\" ").code, 0);
  EXPECT_EQ(names()["top.txt"], "older\n");
  drive.WriteFile("src/top.txt", "newer\n");
  fs::last_write_time(P("src/top.txt"), fs::file_time_type::clock::now() + std::chrono::hours(1));
  ASSERT_EQ(Call(unlha, "u -+ -x1  \"C:\\out\\u.lzh\" \"C:\\src\\\" \"top.txt\" ").code, 0);
  EXPECT_EQ(names()["top.txt"], "newer\n");
  // Freshen leaves new names out.
  ASSERT_EQ(Call(unlha, "f -+ -c1 -x1  \"C:\\out\\u.lzh\" \"C:\\src\\\" \"top.txt\" \"data\\random.bin\" ").code, 0);
  EXPECT_EQ(names().size(), 2u);
  ASSERT_EQ(Call(unlha, "d -+  \"C:\\out\\u.lzh\" \"docs\\*\" ").code, 0);
  tree = names();
  EXPECT_EQ(tree.size(), 1u);
  EXPECT_EQ(tree.count("top.txt"), 1u);
  EXPECT_GE(Call(unlha, "d -+  \"C:\\out\\u.lzh\" \"none*\" ").code, 0x8000);
  EXPECT_EQ(Tool("lha t " + Sh(P("out/u.lzh"))).status, 0);
}

TEST_F(LhaLibrary, ExtractsWithAndWithoutPathsAndByPattern) {
  ASSERT_EQ(PackSample().code, 0);
  auto r = Call(unlha, "x -+ -n1  \"C:\\out\\a.lzh\" \"C:\\x\\\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::SampleTree()), "");
  r = Call(unlha, "e -+  \"C:\\out\\a.lzh\" \"C:\\y\\\" \"*.txt\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::ListDir(P("y")),
            (std::vector<std::string>{"empty.txt", "readme.txt", "top.txt", "日本語ファイル.txt"}));
  auto test = Call(unlha, "t -+  \"C:\\out\\a.lzh\" ");
  EXPECT_EQ(test.code, 0) << test.output;
}

// A level-0 archive with the names given, each holding "bad" stored.
std::string Level0Archive(const std::vector<std::string>& names) {
  auto crc16 = [](const std::string& data) {
    unsigned crc = 0;
    for (unsigned char c : data) {
      crc ^= c;
      for (int i = 0; i < 8; ++i) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
  };
  const auto le = [](unsigned v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
  };
  std::string out;
  for (const std::string& name : names) {
    const std::string data = "bad";
    std::string body = "-lh0-" + le(3, 4) + le(3, 4) + le(0x5A210000, 4) + '\x20' + '\0' +
                       static_cast<char>(name.size()) + name + le(crc16(data), 2);
    unsigned sum = 0;
    for (unsigned char c : body) sum += c;
    out += static_cast<char>(body.size()) + std::string(1, static_cast<char>(sum & 0xFF)) + body + data;
  }
  return out + '\0';
}

TEST_F(LhaLibrary, RefusesUnsafeMembersAndDamagedArchives) {
  fs::create_directories(P("outside"));
  fs::create_directories(P("x"));
  fs::create_directory_symlink(P("outside"), P("x/pre"));
  drive.WriteFile("evil.lzh", Level0Archive({"..\\evil1.txt", "\\abs\\rooted.txt", "C:\\drive.txt", "pre\\evil4.txt",
                                            "\\..\\evil5.txt", "ok.txt"}));
  const auto r = Call(unlha, "x -+  \"C:\\evil.lzh\" \"C:\\x\\\" ");
  EXPECT_EQ(r.code, 0x8013) << r.output;
  for (const char* name : {"..\\evil1.txt", "pre\\evil4.txt", "\\..\\evil5.txt"})
    EXPECT_NE(r.output.find(std::string("Refused: ") + name), std::string::npos) << name << "\n" << r.output;
  // Rooted names land below the destination, each root said once.
  EXPECT_EQ(arctest::Count(r.output, "Removed the leading \"\\\" from member names"), 1u) << r.output;
  EXPECT_EQ(arctest::Count(r.output, "Removed the leading \"C:\\\" from member names"), 1u) << r.output;
  EXPECT_EQ(drive.ReadFile("x/abs/rooted.txt"), "bad");
  EXPECT_EQ(drive.ReadFile("x/drive.txt"), "bad");
  EXPECT_TRUE(fs::is_empty(P("outside")));
  EXPECT_FALSE(fs::exists(P("evil5.txt")));
  EXPECT_EQ(drive.ReadFile("x/ok.txt"), "bad");

  ASSERT_EQ(PackSample().code, 0);
  const std::string good = drive.ReadFile("out/a.lzh");
  drive.WriteFile("cut.lzh", good.substr(0, good.size() / 2));
  std::string flipped = good;
  for (size_t i = 400; i < flipped.size(); i += 61) flipped[i] = static_cast<char>(~flipped[i]);
  drive.WriteFile("flipped.lzh", flipped);
  drive.WriteFile("garbage.lzh", arctest::RandomBytes(3000, 1));
  drive.WriteFile("empty.lzh", "");
  auto check = lib.Entry<TArcCheckArchiveProc>("UnlhaCheckArchive");
  auto open = lib.Entry<TArcOpenArchiveProc>("UnlhaOpenArchive");
  EXPECT_TRUE(check("C:\\out\\a.lzh", CHECKARCHIVE_FULLCRC));
  for (const char* name : {"cut.lzh", "flipped.lzh", "garbage.lzh", "empty.lzh"}) {
    EXPECT_GE(Call(unlha, std::string("x -+  \"C:\\") + name + "\" \"C:\\z\\\" ").code, 0x8000) << name;
    EXPECT_FALSE(check((std::string("C:\\") + name).c_str(), CHECKARCHIVE_FULLCRC)) << name;
  }
  EXPECT_EQ(open(nullptr, "C:\\garbage.lzh", 0), nullptr);
  EXPECT_EQ(open(nullptr, "C:\\empty.lzh", 0), nullptr);
}

TEST_F(LhaLibrary, BadLinesAndInputsGiveCodesAndLeaveTheOldArchive) {
  ASSERT_EQ(PackSample().code, 0);
  const std::string before = drive.ReadFile("out/a.lzh");
  drive.WriteFile("src/data/\xF0\x9F\x98\x80.txt", "emoji");
  struct Case {
    const char* line;
    const char* named;
  } cases[] = {
      {"u -+ -q1  \"C:\\out\\a.lzh\" \"C:\\src\\top.txt\" ", "-q1"},
      {"u -+ -xx  \"C:\\out\\a.lzh\" \"C:\\src\\top.txt\" ", "-xx"},
      {"k -+  \"C:\\out\\a.lzh\" \"C:\\src\\top.txt\" ", "k"},
      {"u -+  \"C:\\out\\a.lzh\" \"C:\\src\\top.txt\" \"C:\\src\\gone.txt\" ", "gone.txt"},
      {"u -+  \"C:\\out\\a.lzh\" \"C:\\src\\\" \"data\" ", "cannot be stored"},
      {"u -+  \"C:\\out\\a.lzh\" \"C:\\src\\top.txt", "quote"},
      {"u -+  \"C:\\out\\a.lzh\" ", "no files"},
      {"x -+  \"C:\\out\\none.lzh\" \"C:\\x\\\" ", "none.lzh"},
  };
  for (const Case& c : cases) {
    const auto r = Call(unlha, c.line);
    EXPECT_GE(r.code, 0x8000) << c.line;
    EXPECT_NE(r.output.find(c.named), std::string::npos) << c.line << "\n" << r.output;
  }
  EXPECT_EQ(drive.ReadFile("out/a.lzh"), before);
  EXPECT_EQ(arctest::ListDir(P("out")), std::vector<std::string>{"a.lzh"});
}

TEST_F(LhaLibrary, SelfExtractingProgramsUnpackThemselves) {
  ASSERT_EQ(PackSample().code, 0);
  const auto r = Call(unlha, "s -+ -gw3  \"C:\\out\\a.lzh\" \"C:\\sfx\\\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  fs::create_directories(P("run"));
  const auto run = Tool("cd " + Sh(P("run")) + " && " + Sh(P("sfx/a.exe")));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("run")), arctest::SampleTree()), "");
  // The library finds the archive inside the program again.
  const auto x = Call(unlha, "x -+  \"C:\\sfx\\a.exe\" \"C:\\again\\\" ");
  EXPECT_EQ(x.code, 0) << x.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("again")), arctest::SampleTree()), "");
  drive.WriteFile("out/text.lzh", "not an archive");
  EXPECT_GE(Call(unlha, "s -+  \"C:\\out\\text.lzh\" \"C:\\sfx\\\" ").code, 0x8000);
  EXPECT_FALSE(fs::exists(P("sfx/text.exe")));
}

TEST_F(LhaLibrary, ListingAndProgress) {
  auto setOwner = lib.Entry<TArcSetOwnerWindowExProc>("UnlhaSetOwnerWindowEx");
  auto killOwner = lib.Entry<TArcKillOwnerWindowExProc>("UnlhaKillOwnerWindowEx");
  {
    arctest::ProgressWindow window;
    setOwner(window.Handle(), nullptr);
    ASSERT_EQ(PackSample().code, 0);
    killOwner(window.Handle());
    EXPECT_EQ(std::count(window.States().begin(), window.States().end(), static_cast<WPARAM>(ARCEXTRACT_BEGIN)), 5);
    EXPECT_EQ(window.States().back(), static_cast<WPARAM>(ARCEXTRACT_END));
  }
  auto open = lib.Entry<TArcOpenArchiveProc>("UnlhaOpenArchive");
  auto first = lib.Entry<TArcFindFirstProc>("UnlhaFindFirst");
  auto next = lib.Entry<TArcFindNextProc>("UnlhaFindNext");
  auto close = lib.Entry<TArcCloseArchiveProc>("UnlhaCloseArchive");
  HARC h = open(nullptr, "C:\\out\\a.lzh", M_ERROR_MESSAGE_OFF | M_REGARDLESS_INIT_FILE);
  ASSERT_NE(h, nullptr);
  INDIVIDUALINFO info;
  std::map<std::string, std::string> methods;
  for (int r = first(h, "*", &info); r == 0; r = next(h, &info)) {
    methods[vxtest::Utf8(info.szFileName)] = info.szMode;
    if (info.dwOriginalSize > 0) {
      EXPECT_NE(info.dwCRC, 0u) << info.szFileName;
    }
  }
  EXPECT_EQ(close(h), 0);
  EXPECT_EQ(methods, (std::map<std::string, std::string>{{"top.txt", "-lh0-"},
                                                         {"docs\\readme.txt", "-lh5-"},
                                                         {"docs\\日本語ファイル.txt", "-lh0-"},
                                                         {"data\\random.bin", "-lh0-"},
                                                         {"data\\sub\\empty.txt", "-lh0-"}}));
  arctest::ProgressWindow stopper(3);
  setOwner(stopper.Handle(), nullptr);
  EXPECT_EQ(PackSample("stopped.lzh").code, ARCERR_USER_CANCEL);
  EXPECT_EQ(Call(unlha, "x -+  \"C:\\out\\a.lzh\" \"C:\\x\\\" ").code, ARCERR_USER_CANCEL);
  killOwner(stopper.Handle());
  EXPECT_FALSE(fs::exists(P("out/stopped.lzh")));
}

// Archives of other programs' making, shared beside the project.
class LhaFixtures : public LhaLibrary {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kDir)) GTEST_SKIP() << "no fixtures at " << kDir;
    LhaLibrary::SetUp();
    fs::create_directories(P("fx"));
    for (const auto& e : fs::directory_iterator(kDir)) fs::copy_file(e.path(), P("fx/" + e.path().filename().string()));
  }
  // "x" (or "e") of a fixture into C:\<out>\.
  arctest::CommandResult Unpack(const std::string& file, const std::string& out, const std::string& command = "x") {
    return Call(unlha, command + " -+  \"C:\\fx\\" + file + "\" \"C:\\" + out + "\\\" ");
  }
  // lhasa's extraction of a fixture, names in lower case as lhasa writes
  // MS-DOS names; with the files' times.
  arctest::Tree Lhasa(const std::string& file, std::map<std::string, time_t>* times = nullptr) {
    const std::string dir = P("ref/" + file);
    fs::create_directories(dir);
    const auto r = Tool("cd " + Sh(dir) + " && lha xq " + Sh(P("fx/" + file)));
    EXPECT_EQ(r.status, 0) << file << "\n" << r.output;
    const arctest::Tree tree = Lowered(arctest::ReadTree(dir), dir, times);
    fs::remove_all(dir);
    return tree;
  }
  static arctest::Tree Lowered(const arctest::Tree& tree, const std::string& dir, std::map<std::string, time_t>* times) {
    arctest::Tree out;
    for (const auto& [name, content] : tree) {
      std::string lower = name;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      out[lower] = content;
      struct stat st;
      if (times != nullptr && stat((dir + "/" + name).c_str(), &st) == 0) (*times)[lower] = st.st_mtime;
    }
    return out;
  }
  static inline const std::string kDir = std::string(LHA_FIXTURES_DIR) + "/lha";
};

TEST_F(LhaFixtures, OldMethodsHeaderFormsAndProgramsExtractAsLhasaDoes) {
  auto check = lib.Entry<TArcCheckArchiveProc>("UnlhaCheckArchive");
  struct Case {
    const char* file;
    bool timed;  // the header holds a time
  } cases[] = {{"lh1.lzh", true},        {"lzs.lzs", true},
               {"lz5.lzs", true},        {"pm0.pma", false},
               {"lhx-h2.lzh", true},     {"level3-lh5.lzh", true},
               {"level2-short-header-size.lzh", true},
               {"level0-unix-time.lzh", true},
               {"sfx-dos.exe", true},    {"sfx-win32.exe", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::map<std::string, time_t> refTimes, ourTimes;
    const arctest::Tree expected = Lhasa(c.file, &refTimes);
    ASSERT_EQ(expected.size(), 1u);
    const std::string out = std::string("x_") + c.file;
    const auto r = Unpack(c.file, out);
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(arctest::TreeDiff(Lowered(arctest::ReadTree(P(out)), P(out), &ourTimes), expected), "");
    if (c.timed) {
      EXPECT_EQ(ourTimes, refTimes);
    }
    const auto t = Call(unlha, std::string("t -+  \"C:\\fx\\") + c.file + "\" ");
    EXPECT_EQ(t.code, 0) << t.output;
    EXPECT_TRUE(check((std::string("C:\\fx\\") + c.file).c_str(), CHECKARCHIVE_FULLCRC));
    const auto l = Call(unlha, std::string("l -+  \"C:\\fx\\") + c.file + "\" ");
    EXPECT_EQ(l.code, 0) << l.output;
    EXPECT_NE(l.output.find(std::to_string(expected.begin()->second.size())), std::string::npos) << l.output;
  }
}

TEST_F(LhaFixtures, UndocumentedMethodsAreRefusedByName) {
  auto check = lib.Entry<TArcCheckArchiveProc>("UnlhaCheckArchive");
  struct Case {
    const char* file;
    const char* member;
    const char* method;
  } cases[] = {{"lh2.lzh", "LICENSE.MIT", "-lh2-"},
               {"lh3.lzh", "LICENSE.MIT", "-lh3-"},
               {"pm1.pma", "COPYING.TXT", "-pm1-"},
               {"pm2.pma", "GPL-2.", "-pm2-"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    for (const char* command : {"x", "e", "t"}) {
      const auto r = command[0] == 't' ? Call(unlha, std::string("t -+  \"C:\\fx\\") + c.file + "\" ")
                                       : Unpack(c.file, "out_" + std::string(c.file), command);
      EXPECT_EQ(r.code, ARCERR_METHOD) << command << "\n" << r.output;
      EXPECT_NE(r.output.find(std::string(c.member) + ": unsupported method " + c.method), std::string::npos)
          << command << "\n" << r.output;
    }
    EXPECT_TRUE(arctest::ReadTree(P("out_" + std::string(c.file))).empty());
    EXPECT_FALSE(check((std::string("C:\\fx\\") + c.file).c_str(), CHECKARCHIVE_FULLCRC));
    // The listing still shows the member and its method.
    const auto l = Call(unlha, std::string("l -+  \"C:\\fx\\") + c.file + "\" ");
    EXPECT_EQ(l.code, 0) << l.output;
    EXPECT_NE(l.output.find(c.method), std::string::npos) << l.output;
  }
}

// A member of an undecoded method among others: the others are served,
// the result says that one was not.
TEST_F(LhaFixtures, MembersAfterARefusedOneAreStillServed) {
  std::string lh2 = drive.ReadFile("fx/lh2.lzh"), lh1 = drive.ReadFile("fx/lh1.lzh");
  ASSERT_EQ(lh2.back(), '\0');  // the end mark
  drive.WriteFile("fx/mixed.lzh", lh2.substr(0, lh2.size() - 1) + lh1);
  const arctest::Tree expected = Lhasa("lh1.lzh");
  for (const char* command : {"x", "e"}) {
    SCOPED_TRACE(command);
    const std::string out = std::string("mixed_") + command;
    const auto r = Unpack("mixed.lzh", out, command);
    EXPECT_EQ(r.code, ARCERR_METHOD) << r.output;
    EXPECT_NE(r.output.find("LICENSE.MIT: unsupported method -lh2-"), std::string::npos) << r.output;
    EXPECT_EQ(arctest::TreeDiff(Lowered(arctest::ReadTree(P(out)), P(out), nullptr), expected), "");
  }
  const auto t = Call(unlha, "t -+  \"C:\\fx\\mixed.lzh\" ");
  EXPECT_EQ(t.code, ARCERR_METHOD) << t.output;
  EXPECT_NE(t.output.find("OK  GPL-2"), std::string::npos) << t.output;
  // Asked for the decodable member alone, everything asked for came out.
  EXPECT_EQ(Call(unlha, "x -+  \"C:\\fx\\mixed.lzh\" \"C:\\alone\\\" \"GPL-2\" ").code, 0);
  EXPECT_EQ(arctest::TreeDiff(Lowered(arctest::ReadTree(P("alone")), P("alone"), nullptr), expected), "");
}

// Links are not made from archives: no file or folder "link|target", the
// link named as skipped, and a result that says not everything came out.
TEST_F(LhaFixtures, UnixLinksAreSkippedWithANonZeroResult) {
  auto check = lib.Entry<TArcCheckArchiveProc>("UnlhaCheckArchive");
  for (const char* file : {"unix-symlink-h1.lzh", "unix-symlink-h2.lzh"}) {
    for (const char* command : {"x", "e"}) {
      SCOPED_TRACE(std::string(file) + " " + command);
      const std::string out = std::string("out_") + command + "_" + file;
      const auto r = Unpack(file, out, command);
      EXPECT_EQ(r.code, ARCERR_NOT_SUPPORT) << r.output;
      EXPECT_NE(r.output.find("symbolic link"), std::string::npos) << r.output;
      fs::create_directories(P(out));
      for (const std::string& name : arctest::ListDir(P(out))) {
        EXPECT_EQ(name.find('|'), std::string::npos) << name;
        EXPECT_FALSE(fs::is_symlink(P(out + "/" + name))) << name;
      }
    }
    // The archive itself is sound.
    EXPECT_EQ(Call(unlha, std::string("t -+  \"C:\\fx\\") + file + "\" ").code, 0);
    EXPECT_TRUE(check((std::string("C:\\fx\\") + file).c_str(), CHECKARCHIVE_FULLCRC));
  }
  const auto one = Unpack("unix-symlink-h1.lzh", "one");
  EXPECT_NE(one.output.find("Skipped: symlink -> target"), std::string::npos) << one.output;
  EXPECT_TRUE(!fs::exists(P("one")) || fs::is_empty(P("one")));
  // The ordinary members around the links come out as lhasa writes them.
  const auto r = Unpack("unix-symlink-h2.lzh", "two");
  EXPECT_NE(r.output.find("dir2\\symlink1 -> ../file1"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("dir2\\symlink2 -> ../file2"), std::string::npos) << r.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("two")), Lhasa("unix-symlink-h2.lzh")), "");
  EXPECT_TRUE(fs::is_directory(P("two/dir")));
  EXPECT_TRUE(fs::is_directory(P("two/dir2")));
  // A pattern that leaves the links out extracts everything it asked for.
  EXPECT_EQ(Call(unlha, "x -+  \"C:\\fx\\unix-symlink-h2.lzh\" \"C:\\three\\\" \"file*\" ").code, 0);
}

TEST_F(LhaFixtures, SizesOver4GiBAreListedInFull) {
  const auto l = Call(unlha, "l -+  \"C:\\fx\\member-over-4gib.lzh\" ");
  EXPECT_EQ(l.code, 0) << l.output;
  EXPECT_NE(l.output.find("4718592000"), std::string::npos) << l.output;
  auto open = lib.Entry<TArcOpenArchiveProc>("UnlhaOpenArchive");
  auto first = lib.Entry<TArcFindFirstProc>("UnlhaFindFirst");
  auto close = lib.Entry<TArcCloseArchiveProc>("UnlhaCloseArchive");
  HARC h = open(nullptr, "C:\\fx\\member-over-4gib.lzh", 0);
  ASSERT_NE(h, nullptr);
  INDIVIDUALINFO info;
  ASSERT_EQ(first(h, "*", &info), 0);
  // The 32-bit field cannot hold it: it says "at least 4 GiB", never the
  // low 32 bits.
  EXPECT_EQ(info.dwOriginalSize, 0xFFFFFFFFu);
  EXPECT_EQ(info.dwCompressedSize, 23891u);
  // The 64-bit entries give the true sizes of the member found last.
  using SizeEx = BOOL(WINAPI*)(HARC, int64_t*);
  auto originalEx = lib.Entry<SizeEx>("UnlhaGetOriginalSizeEx");
  auto compressedEx = lib.Entry<SizeEx>("UnlhaGetCompressedSizeEx");
  int64_t size = 0;
  EXPECT_TRUE(originalEx(h, &size));
  EXPECT_EQ(size, 4718592000);
  EXPECT_TRUE(compressedEx(h, &size));
  EXPECT_EQ(size, 23891);
  auto next = lib.Entry<TArcFindNextProc>("UnlhaFindNext");
  EXPECT_EQ(next(h, &info), -1);
  EXPECT_FALSE(originalEx(h, &size));
  EXPECT_EQ(close(h), 0);
  EXPECT_FALSE(originalEx(h, &size));
}

// Testing or checking a member of 4.7 GB takes long; the owner window
// hears of it at every MiB and can stop it there.
TEST_F(LhaFixtures, LongVerificationsReportProgressAndCanBeStopped) {
  arctest::ExpectVerificationStopsInside(lib, "Unlha", "t -+  \"C:\\fx\\member-over-4gib.lzh\" ",
                                         "C:\\fx\\member-over-4gib.lzh");
}

TEST_F(LhaFixtures, ProgramsWithAnArchiveInsideOpenForListing) {
  auto open = lib.Entry<TArcOpenArchiveProc>("UnlhaOpenArchive");
  auto first = lib.Entry<TArcFindFirstProc>("UnlhaFindFirst");
  auto close = lib.Entry<TArcCloseArchiveProc>("UnlhaCloseArchive");
  for (const char* file : {"sfx-dos.exe", "sfx-win32.exe"}) {
    HARC h = open(nullptr, (std::string("C:\\fx\\") + file).c_str(), 0);
    ASSERT_NE(h, nullptr) << file;
    INDIVIDUALINFO info;
    ASSERT_EQ(first(h, "*", &info), 0) << file;
    EXPECT_EQ(info.dwOriginalSize, 18092u) << file;
    EXPECT_EQ(close(h), 0);
  }
  // A program without an archive is still no archive.
  drive.WriteFile("fx/plain.exe", "MZ" + arctest::RandomBytes(5000, 7));
  EXPECT_EQ(open(nullptr, "C:\\fx\\plain.exe", 0), nullptr);
  EXPECT_GE(Unpack("plain.exe", "plain").code, 0x8000);
}

}  // namespace

