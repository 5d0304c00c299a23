// tar32.dll reading the hard links and rooted names GNU tar and bsdtar
// write: a hard link comes out as a copy of the file it names (no links are
// made), a root is taken off the name, and the files are what GNU tar
// extracts from the same archive.
#include <sys/stat.h>

#include <filesystem>

#include "ArcTestKit.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

class TarLinks : public ::testing::Test {
 protected:
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  void Shell(const std::string& command) {
    const auto r = Tool("cd " + Sh(drive.Path()) + " && " + command);
    ASSERT_EQ(r.status, 0) << command << "\n" << r.output;
  }
  // The regular files GNU tar extracts from a.arc (its links followed by
  // ReadTree, so the symbolic link is left out by name).
  arctest::Tree GnuTarFiles() {
    fs::remove_all(P("ref"));
    Shell("mkdir ref && tar xf a.arc -C ref 2>/dev/null");
    arctest::Tree tree = arctest::ReadTree(P("ref"));
    for (auto it = tree.begin(); it != tree.end();)
      it = fs::is_symlink(P("ref/" + it->first)) ? tree.erase(it) : std::next(it);
    return tree;
  }

  vxtest::DriveC drive;
  arctest::RealLibrary lib{"tar32.dll"};
  TArcCommandProc tar = lib.Entry<TArcCommandProc>("Tar");
  TArcCheckArchiveProc check = lib.Entry<TArcCheckArchiveProc>("TarCheckArchive");
};

struct LinkCase {
  const char* name;
  const char* make;  // run in the drive's folder: writes a.arc of h/
};

class HardLinks : public TarLinks, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(HardLinks, ComeOutAsCopiesOfTheFilesGnuTarLinks) {
  // orig.txt with two hard links (one in a folder) and a symbolic link.
  Shell("mkdir -p h/sub && printf 'original\\n' > h/orig.txt && ln h/orig.txt h/hard.txt && "
        "ln h/orig.txt h/sub/deep.txt && ln -s orig.txt h/sym.lnk && printf 'other\\n' > h/other.txt && " +
        std::string(GetParam().make));
  const arctest::Tree expected = GnuTarFiles();
  ASSERT_EQ(expected.size(), 4u);

  // Everything: the symbolic link alone is skipped, and said so.
  auto r = Call(tar, "x -f \"C:\\a.arc\" -o \"C:\\x\\\"");
  EXPECT_EQ(r.code, 0x8023) << r.output;
  EXPECT_NE(r.output.find("Skipped: sym.lnk"), std::string::npos) << r.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), expected), "");
  EXPECT_FALSE(fs::exists(fs::symlink_status(P("x/sym.lnk"))));
  struct stat st;
  ASSERT_EQ(lstat(P("x/hard.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_nlink, 1u) << "a link was made";
  // The files alone: 0.
  r = Call(tar, "x -f \"C:\\a.arc\" -o \"C:\\y\\\" \"*.txt\"");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("y")), expected), "");
  // Without folders the links still find their file.
  r = Call(tar, "x -f \"C:\\a.arc\" -o \"C:\\j\\\" --use-directory=0 \"*.txt\"");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::ReadTree(P("j")), (arctest::Tree{{"deep.txt", "original\n"},
                                                     {"hard.txt", "original\n"},
                                                     {"orig.txt", "original\n"},
                                                     {"other.txt", "other\n"}}));
  // A link whose file is not extracted is refused; the others go on.
  r = Call(tar, "x -f \"C:\\a.arc\" -o \"C:\\z\\\" \"hard.txt\" \"other.txt\"");
  EXPECT_EQ(r.code, 0x8013) << r.output;
  EXPECT_NE(r.output.find("Refused: hard.txt (hard link to a file not extracted before it)"), std::string::npos)
      << r.output;
  EXPECT_EQ(arctest::ReadTree(P("z")), (arctest::Tree{{"other.txt", "other\n"}}));

  // Listing and checking pass them.
  EXPECT_EQ(Call(tar, "t -f \"C:\\a.arc\"").code, 0);
  const auto l = Call(tar, "l -f \"C:\\a.arc\"");
  EXPECT_EQ(l.code, 0) << l.output;
  EXPECT_NE(l.output.find("deep.txt"), std::string::npos) << l.output;
  EXPECT_TRUE(check("C:\\a.arc", CHECKARCHIVE_FULLCRC));
}

// In this order, so that orig.txt is the file and the others name it.
#define MEMBERS "orig.txt hard.txt sub/deep.txt other.txt sym.lnk"

INSTANTIATE_TEST_SUITE_P(
    Writers, HardLinks,
    ::testing::Values(
        LinkCase{"gnu", "tar --format=gnu -cf a.arc -C h " MEMBERS},
        LinkCase{"posix", "tar --format=posix -cf a.arc -C h " MEMBERS},
        LinkCase{"ustar", "tar --format=ustar -cf a.arc -C h " MEMBERS},
        LinkCase{"gnu_gzip", "tar --format=gnu -czf a.arc -C h " MEMBERS},
        LinkCase{"bsdtar_pax", "bsdtar --format=pax -cf a.arc -C h " MEMBERS},
        LinkCase{"bsdtar_ustar", "bsdtar --format=ustar -cf a.arc -C h " MEMBERS},
        LinkCase{"bsdtar_gnutar_bzip2", "bsdtar --format=gnutar -cjf a.arc -C h " MEMBERS}),
    [](const auto& info) { return std::string(info.param.name); });

// A hard link may only copy what this extraction wrote, never a file
// that was in the destination before.
TEST_F(TarLinks, AHardLinkToAFileAlreadyThereIsRefused) {
  const std::string script =
      "import tarfile, io\n"
      "t = tarfile.open('a.arc', 'w', format=tarfile.GNU_FORMAT)\n"
      "ti = tarfile.TarInfo('copy.txt'); ti.type = tarfile.LNKTYPE; ti.linkname = 'mine.txt'; t.addfile(ti)\n"
      "ti = tarfile.TarInfo('up.txt'); ti.type = tarfile.LNKTYPE; ti.linkname = '../secret.txt'; t.addfile(ti)\n"
      "t.close()\n";
  Shell("python3 -c " + Sh(script));
  drive.WriteFile("secret.txt", "secret");
  drive.WriteFile("x/mine.txt", "mine");
  const auto r = Call(tar, "x -f \"C:\\a.arc\" -o \"C:\\x\\\"");
  EXPECT_EQ(r.code, 0x8013) << r.output;
  EXPECT_EQ(arctest::Count(r.output, "Refused: "), 2u) << r.output;
  EXPECT_EQ(arctest::ReadTree(P("x")), (arctest::Tree{{"mine.txt", "mine"}}));
}

// tar -P keeps the root; GNU tar takes it off when extracting, and so do we,
// hard links to rooted names included.
TEST_F(TarLinks, RootedNamesLandBelowTheDestinationAsGnuTarPutsThem) {
  const std::string root = P("h");
  Shell("mkdir -p h/sub && printf 'one\\n' > h/one.txt && printf 'two\\n' > h/sub/two.txt && "
        "ln h/one.txt h/sub/again.txt && tar -P --format=posix -cf a.arc " + Sh(root));
  const arctest::Tree expected = GnuTarFiles();
  ASSERT_EQ(expected.size(), 3u);
  const auto r = Call(tar, "x -f \"C:\\a.arc\" -o \"C:\\x\\\"");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::Count(r.output, "Removed the leading \"/\" from member names"), 1u) << r.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), expected), "");
  EXPECT_EQ(Call(tar, "t -f \"C:\\a.arc\"").code, 0);
}

}  // namespace
