// FilterFiles on real directories under C:: how list entries combine, the
// recursion, attribute and short-name switches, the empty list, directory
// links that lead back up the tree, and the option set afterwards.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "FilterFixture.h"
#include "support/Cp932.h"

using namespace vx;
using filtertest::FilterTest;
using filtertest::Win;
using filtertest::WinList;
using vxtest::Sjis;

namespace {

// The current directory set for one test, restored afterwards.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& dir) {
    char old[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(sizeof old, old);
    old_ = old;
    EXPECT_TRUE(SetCurrentDirectoryA(dir.c_str())) << dir;
  }
  ~CurrentDirectory() { SetCurrentDirectoryA(old_.c_str()); }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::string old_;
};

// A walk that does not end fails the program instead of hanging it.
class Deadline {
 public:
  explicit Deadline(unsigned seconds) {
    signal(SIGALRM, [](int) {
      const char message[] = "the directory walk did not end\n";
      [[maybe_unused]] const auto n = write(2, message, sizeof message - 1);
      _exit(1);
    });
    alarm(seconds);
  }
  ~Deadline() { alarm(0); }
  Deadline(const Deadline&) = delete;
  Deadline& operator=(const Deadline&) = delete;
};

}  // namespace

// ---- entries together --------------------------------------------------------------

TEST_F(FilterTest, WildcardAndNameOfTheSameFileListItOnce) {
  Files({"d/a.txt", "d/c.txt", "d/b.doc"});
  EXPECT_EQ(Filter({Win("C:/d/*.txt"), Win("C:/d/a.txt")}), WinList({"C:/d/a.txt", "C:/d/c.txt"}));
  EXPECT_EQ(Filter({Win("C:/d/a.txt"), Win("C:/d/*.txt")}), WinList({"C:/d/a.txt", "C:/d/c.txt"}));
}

TEST_F(FilterTest, NamesDifferingInCaseAreOneFileSpelledAsFirstAdded) {
  Files({"d/a.txt"});
  EXPECT_EQ(Filter({Win("C:/D/a.txt"), Win("C:/d/A.TXT")}), WinList({"C:/D/a.txt"}));
  EXPECT_EQ(Filter({Win("C:/d/A.TXT"), Win("C:/D/a.txt")}), WinList({"C:/d/a.txt"}));
}

TEST_F(FilterTest, ResultIsSortedWithoutRegardToCase) {
  Files({"d/B.txt", "d/a.txt", "d/c.TXT"});
  EXPECT_EQ(Filter({Win("C:/d/c.txt"), Win("C:/d/*.txt")}),
            WinList({"C:/d/a.txt", "C:/d/B.txt", "C:/d/c.TXT"}));
}

TEST_F(FilterTest, MissingDirectoryContributesNothing) {
  Files({"d/a.txt"});
  options.r = 1;
  EXPECT_EQ(Filter({Win("C:/nope/*.txt"), Win("C:/d/a.txt"), Win("C:/d/none.*")}),
            WinList({"C:/d/a.txt"}));
}

TEST_F(FilterTest, DirectoryWithDoubleByteNameEndingInBackslashByte) {
  // 表 and ソ end in the byte 0x5C, which is no separator inside them.
  drive.WriteFile("表/a.txt", "x");
  drive.WriteFile("表/sub/b.txt", "x");
  drive.WriteFile("表/ソ.txt", "x");
  options.r = 1;
  EXPECT_EQ(Filter({Sjis("C:\\表\\*.txt")}),
            (TStringList{Sjis("C:\\表\\a.txt"), Sjis("C:\\表\\sub\\b.txt"), Sjis("C:\\表\\ソ.txt")}));
  options.r = 2;
  EXPECT_EQ(Filter({Sjis("C:\\表")}),
            (TStringList{Sjis("C:\\表\\a.txt"), Sjis("C:\\表\\sub\\b.txt"), Sjis("C:\\表\\ソ.txt")}));
}

// ---- recursion ------------------------------------------------------------------------

struct RecursionCase {
  const char* name;
  int r;
  int p;
  std::vector<const char*> entries;
  std::vector<const char*> expected;
};
void PrintTo(const RecursionCase& c, std::ostream* os) { *os << c.name; }

class FilterRecursionTest : public FilterTest, public ::testing::WithParamInterface<RecursionCase> {};

TEST_P(FilterRecursionTest, ListsTheFilesOfTheRule) {
  Files({"d/a.txt", "d/b.doc", "d/x/a.txt", "d/x/y/b.txt", "d/x/y/d", "e/d", "top.txt"});
  const RecursionCase& c = GetParam();
  options.r = static_cast<int8_t>(c.r);
  options.p = static_cast<int8_t>(c.p);
  std::vector<std::string> entries;
  for (const char* e : c.entries) entries.push_back(Win(e));
  TStringList expected;
  for (const char* e : c.expected) expected.push_back(Win(e));
  EXPECT_EQ(Filter(entries), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FilterRecursionTest,
    ::testing::Values(
        RecursionCase{"R2DirectoryIsEveryFileBelow", 2, -1, {"C:/d"},
                      {"C:/d/a.txt", "C:/d/b.doc", "C:/d/x/a.txt", "C:/d/x/y/b.txt", "C:/d/x/y/d"}},
        RecursionCase{"R2P1DirectoryIsEveryFileBelow", 2, 1, {"C:/d"},
                      {"C:/d/a.txt", "C:/d/b.doc", "C:/d/x/a.txt", "C:/d/x/y/b.txt", "C:/d/x/y/d"}},
        RecursionCase{"R2FileIsSearchedInSubfolders", 2, -1, {"C:/d/a.txt"},
                      {"C:/d/a.txt", "C:/d/x/a.txt"}},
        RecursionCase{"R1DirectoryIsANameSearchedAtAnyDepth", 1, -1, {"C:/d"},
                      {"C:/d/x/y/d", "C:/e/d"}},
        RecursionCase{"R1NameIsSearchedInSubfolders", 1, -1, {"C:/d/a.txt"},
                      {"C:/d/a.txt", "C:/d/x/a.txt"}},
        RecursionCase{"R1P1NameFindsOnlyItself", 1, 1, {"C:/d/a.txt"}, {"C:/d/a.txt"}},
        RecursionCase{"R1P1WildcardMatchesInSubfolders", 1, 1, {"C:/d/*.txt"},
                      {"C:/d/a.txt", "C:/d/x/a.txt", "C:/d/x/y/b.txt"}},
        RecursionCase{"R1P0WildcardMatchesInSubfolders", 1, 0, {"C:/d/?.txt"},
                      {"C:/d/a.txt", "C:/d/x/a.txt", "C:/d/x/y/b.txt"}},
        RecursionCase{"UnsetStaysInTheFolder", -1, -1, {"C:/d/*.txt"}, {"C:/d/a.txt"}},
        RecursionCase{"R0StaysInTheFolder", 0, -1, {"C:/d/*.txt"}, {"C:/d/a.txt"}},
        RecursionCase{"R0DirectoryIsNoFile", 0, -1, {"C:/d"}, {}}),
    [](const ::testing::TestParamInfo<RecursionCase>& info) { return info.param.name; });

// ---- attributes and names ------------------------------------------------------------

struct HiddenCase {
  int a;
  std::vector<const char*> expected;
};
void PrintTo(const HiddenCase& c, std::ostream* os) { *os << "a = " << c.a; }

class FilterHiddenTest : public FilterTest, public ::testing::WithParamInterface<HiddenCase> {};

TEST_P(FilterHiddenTest, HiddenFilesOnlyWithA1HiddenFoldersAlwaysWalked) {
  // A leading period makes a name hidden here.
  Files({"d/v.txt", "d/.h.txt", "d/.hid/in.txt", "d/ro.txt"});
  std::filesystem::permissions(drive.Path() + "/d/ro.txt", std::filesystem::perms::owner_read);
  options.a = static_cast<int8_t>(GetParam().a);
  TStringList expected;
  for (const char* e : GetParam().expected) expected.push_back(Win(e));
  options.r = 1;
  EXPECT_EQ(Filter({Win("C:/d/*.txt")}), expected);
  options.r = 2;  // a whole folder
  EXPECT_EQ(Filter({Win("C:/d")}), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Switch, FilterHiddenTest,
    ::testing::Values(HiddenCase{-1, {"C:/d/.hid/in.txt", "C:/d/ro.txt", "C:/d/v.txt"}},
                      HiddenCase{0, {"C:/d/.hid/in.txt", "C:/d/ro.txt", "C:/d/v.txt"}},
                      HiddenCase{1, {"C:/d/.h.txt", "C:/d/.hid/in.txt", "C:/d/ro.txt", "C:/d/v.txt"}}),
    [](const ::testing::TestParamInfo<HiddenCase>& info) {
      return info.param.a < 0 ? std::string("Unset") : "A" + std::to_string(info.param.a);
    });

TEST_F(FilterTest, ShortNameSwitchKeepsTheLongNameOfAFileWithoutShortName) {
  Files({"d/a long file name.text", "d/sub folder with long name/b.text"});
  options.ji = 1;
  options.r = 2;
  EXPECT_EQ(Filter({Win("C:/d")}),
            WinList({"C:/d/a long file name.text", "C:/d/sub folder with long name/b.text"}));
}

// ---- the empty list -------------------------------------------------------------------

TEST_F(FilterTest, AbsentOrEmptyListIsTheCurrentFolderAsBareNames) {
  Files({"d/a.txt", "d/c.doc", "d/x/b.txt"});
  CurrentDirectory cd("C:\\d");
  EXPECT_EQ(FilterFiles(options, nullptr), WinList({"a.txt", "c.doc"}));
  TArchiverOptions fresh;
  const TStringList none;
  EXPECT_EQ(FilterFiles(fresh, &none), WinList({"a.txt", "c.doc"}));
  TArchiverOptions recursive;
  recursive.r = 1;
  EXPECT_EQ(FilterFiles(recursive, nullptr), WinList({"a.txt", "c.doc", "x/b.txt"}));
}

// ---- links back up the tree ---------------------------------------------------------

TEST_F(FilterTest, LinksBackToAFolderOrItsAncestorEndTheWalk) {
  namespace fs = std::filesystem;
  Files({"d/a.txt", "d/x/b.txt", "out/c.txt"});
  const std::string d = drive.Path() + "/d";
  fs::create_directory_symlink(".", d + "/self");          // the folder itself
  fs::create_directory_symlink("..", d + "/x/up");          // its parent
  fs::create_directory_symlink("../../d", d + "/x/root");  // an ancestor by another path
  fs::create_directory_symlink("../../out", d + "/x/link");  // no cycle: walked
  const TStringList expected = WinList({"C:/d/a.txt", "C:/d/x/b.txt", "C:/d/x/link/c.txt"});
  Deadline deadline(60);

  options.r = 2;
  EXPECT_EQ(Filter({Win("C:/d")}), expected);
  // Each entry is a walk of its own: from x, d is no ancestor, so both
  // links to it are walked, each up to the way back into x.
  EXPECT_EQ(Filter({Win("C:/d"), Win("C:/d/x")}),
            WinList({"C:/d/a.txt", "C:/d/x/b.txt", "C:/d/x/link/c.txt", "C:/d/x/root/a.txt", "C:/d/x/up/a.txt"}));
  options.r = 1;
  EXPECT_EQ(Filter({Win("C:/d/*.txt")}), expected);
  EXPECT_EQ(Filter({Win("C:/d/x/*.txt")}),
            WinList({"C:/d/x/b.txt", "C:/d/x/link/c.txt", "C:/d/x/root/a.txt", "C:/d/x/up/a.txt"}));
}

TEST_F(FilterTest, TwoLinksToOneFolderBesideTheWalkAreBothWalked) {
  namespace fs = std::filesystem;
  Files({"d/a.txt", "e/f.txt", "e/sub/g.txt"});
  const std::string d = drive.Path() + "/d";
  fs::create_directory_symlink("../e", d + "/l1");
  fs::create_directory_symlink("../e", d + "/l2");
  options.r = 2;
  EXPECT_EQ(Filter({Win("C:/d")}), WinList({"C:/d/a.txt", "C:/d/l1/f.txt", "C:/d/l1/sub/g.txt", "C:/d/l2/f.txt",
                                            "C:/d/l2/sub/g.txt"}));
}

// ---- the option set afterwards -----------------------------------------------------

TEST_F(FilterTest, SuccessLeavesRecursionAndDatesToTheFilter) {
  Files({"d/a.txt"});
  options.r = 2;
  options.p = -1;
  options.jo = "990101";
  options.job = "";
  options.a = 1;
  options.ji = 1;
  options.x = 1;
  options.w = "C:\\t";
  options.jx = {"q"};
  options.UserOptions = "-u";
  options.PackFilter = pfComponent;
  EXPECT_EQ(Filter({Win("C:/d")}), WinList({"C:/d/a.txt"}));
  EXPECT_EQ(used.r, -1);
  EXPECT_EQ(used.p, 1);
  EXPECT_EQ(used.jo, NoValue);
  EXPECT_EQ(used.job, NoValue);
  EXPECT_EQ(used.a, 1);
  EXPECT_EQ(used.ji, 1);
  EXPECT_EQ(used.x, 1);
  EXPECT_EQ(used.w, "C:\\t");
  EXPECT_EQ(used.jx, TStringList{"q"});
  EXPECT_EQ(used.UserOptions, "-u");
  EXPECT_EQ(used.PackFilter, pfComponent);
}

TEST_F(FilterTest, OptionsChangeAlsoWhenNothingIsFound) {
  options.r = 0;
  options.p = 0;
  EXPECT_TRUE(Filter({Win("C:/none/*.*")}).empty());
  EXPECT_EQ(used.r, -1);
  EXPECT_EQ(used.p, 1);
}
