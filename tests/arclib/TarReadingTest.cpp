// tar32.dll reading archives other programs made: damage in the gzip and
// bzip2 layers (CRCs, lengths, cut archives, several members) found by
// extraction, t and TarCheckArchive before anything is written; sparse
// members of every GNU and pax form restored as GNU tar restores them.
#include <filesystem>
#include <sstream>

#include "ArcTestKit.h"
#include "support/Cp932.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

class TarReading : public ::testing::Test {
 protected:
  void SetUp() override { arctest::WriteTree(P("src"), arctest::SampleTree()); }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  // Runs shell lines in the drive's folder, where "flip FILE OFFSET" changes
  // one byte (a negative offset counts from the end).
  void Shell(const std::string& command) {
    static const std::string flip =
        "flip() { python3 -c 'import sys; p=sys.argv[1]; d=bytearray(open(p,\"rb\").read()); "
        "d[int(sys.argv[2])]^=0x10; open(p,\"wb\").write(d)' \"$1\" \"$2\"; }; ";
    const auto r = Tool("cd " + Sh(drive.Path()) + " && " + flip + command);
    ASSERT_EQ(r.status, 0) << command << "\n" << r.output;
  }

  vxtest::DriveC drive;
  arctest::RealLibrary lib{"tar32.dll"};
  TArcCommandProc tar = lib.Entry<TArcCommandProc>("Tar");
  TArcCheckArchiveProc check = lib.Entry<TArcCheckArchiveProc>("TarCheckArchive");
};


struct LayerCase {
  const char* name;
  const char* make;    // shell lines making a.arc from t.tar
  const char* verify;  // the reference program's test of a.arc
  bool sound;
  bool namesMember = true;  // gzip and bzip2 are followed member by member
};

class CompressedLayers : public TarReading, public ::testing::WithParamInterface<LayerCase> {};

TEST_P(CompressedLayers, DamageIsFoundBeforeAnythingIsWrittenAndSoundArchivesExtract) {
  const LayerCase& c = GetParam();
  // The tar of the sample tree is t.tar.
  Shell("tar cf t.tar -C src . && " + std::string(c.make));
  // The reference program's verdict on the same bytes.
  ASSERT_EQ(Tool("cd " + Sh(drive.Path()) + " && " + c.verify).status == 0, c.sound) << c.name;
  const auto x = Call(tar, "x -f \"C:\\a.arc\" -o \"C:\\x\\\"");
  const auto t = Call(tar, "t -f \"C:\\a.arc\"");
  if (c.sound) {
    ASSERT_EQ(x.code, 0) << x.output;
    Shell("mkdir ref && tar xf t.tar -C ref");
    EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::ReadTree(P("ref"))), "");
    EXPECT_EQ(t.code, 0) << t.output;
    EXPECT_TRUE(check("C:\\a.arc", CHECKARCHIVE_FULLCRC));
    return;
  }
  EXPECT_GE(x.code, 0x8000) << x.output;
  EXPECT_NE(x.output.find("damaged"), std::string::npos) << x.output;
  EXPECT_TRUE(!fs::exists(P("x")) || arctest::ReadTree(P("x")).empty()) << "files written from a damaged archive";
  EXPECT_GE(t.code, 0x8000) << t.output;
  EXPECT_FALSE(check("C:\\a.arc", CHECKARCHIVE_FULLCRC));
  EXPECT_NE(x.output.find("data is damaged"), std::string::npos) << x.output;
  if (!c.namesMember) return;
  // The member in or before which the damage shows is named.
  // (A bzip2 block comes out whole, only after its CRC was checked.)
  bool named = x.output.find("in or before the first member") != std::string::npos;
  std::istringstream members(Tool("tar tf " + Sh(P("t.tar"))).output);
  for (std::string name; std::getline(members, name);)
    named = named || x.output.find("in or before " + name + "\r\n") != std::string::npos;
  EXPECT_TRUE(named) << x.output;
}

// Several gzip members (or bzip2 streams) in one file: the tar split at
// 30000 bytes, each part compressed on its own.
#define PARTS(tool) "head -c 30000 t.tar | " tool " > a.arc && tail -c +30001 t.tar | " tool " >> a.arc"

INSTANTIATE_TEST_SUITE_P(
    Layers, CompressedLayers,
    ::testing::Values(
        LayerCase{"gzip", "gzip -c t.tar > a.arc", "gzip -t a.arc", true},
        LayerCase{"gzip_members", PARTS("gzip -c"), "gzip -t a.arc", true},
        LayerCase{"gzip_zero_padding", "gzip -c t.tar > a.arc && head -c 1024 /dev/zero >> a.arc", "gzip -dc a.arc >/dev/null", true},
        LayerCase{"bzip2", "bzip2 -c t.tar > a.arc", "bzip2 -t a.arc", true},
        LayerCase{"bzip2_streams", PARTS("bzip2 -c"), "bzip2 -t a.arc", true},
        // A flipped byte inside the stored random data: only the CRC shows it.
        LayerCase{"gzip_flipped_middle", "gzip -c t.tar > a.arc && flip a.arc $(( $(stat -c %s a.arc) / 2 ))", "gzip -t a.arc", false},
        LayerCase{"gzip_second_member_flipped", PARTS("gzip -c") " && flip a.arc -2000", "gzip -t a.arc", false},
        LayerCase{"gzip_crc_field", "gzip -c t.tar > a.arc && flip a.arc -6", "gzip -t a.arc", false},
        LayerCase{"gzip_length_field", "gzip -c t.tar > a.arc && flip a.arc -2", "gzip -t a.arc", false},
        LayerCase{"gzip_cut", "gzip -c t.tar | head -c -5 > a.arc", "gzip -t a.arc", false},
        LayerCase{"bzip2_flipped_middle", "bzip2 -c t.tar > a.arc && flip a.arc $(( $(stat -c %s a.arc) / 2 ))", "bzip2 -t a.arc", false},
        LayerCase{"bzip2_second_stream_flipped", PARTS("bzip2 -c") " && flip a.arc -2000", "bzip2 -t a.arc", false},
        LayerCase{"bzip2_stream_crc", "bzip2 -c t.tar > a.arc && flip a.arc -3", "bzip2 -t a.arc", false},
        LayerCase{"bzip2_cut", "bzip2 -c t.tar | head -c -20 > a.arc", "bzip2 -t a.arc", false},
        // Other compressions are read to their end, so that their own checks run.
        LayerCase{"xz", "xz -c t.tar > a.arc", "xz -t a.arc", true},
        LayerCase{"zstd", "zstd -q -c t.tar > a.arc", "zstd -q -t a.arc", true},
        LayerCase{"xz_end_flipped", "xz -c t.tar > a.arc && flip a.arc -20", "xz -t a.arc", false, false},
        LayerCase{"zstd_checksum_flipped", "zstd -q -c t.tar > a.arc && flip a.arc -2", "zstd -q -t a.arc", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

struct SparseCase {
  const char* name;
  const char* format;  // GNU tar's options
};

class SparseMembers : public TarReading, public ::testing::WithParamInterface<SparseCase> {};

TEST_P(SparseMembers, ComeOutWithTheirHolesAsGnuTarRestoresThem) {
  // A hole between pieces of data, a file ending in a hole, one that is all
  // hole, and an ordinary file after them.
  ASSERT_EQ(Tool("python3 -c " + Sh("import os\n"
                                    "os.makedirs('" + P("sp") + "')\n"
                                    "f = open('" + P("sp/middle") + "', 'wb'); f.write(b'head'); f.seek(1 << 20); "
                                    "f.write(b'mid'); f.seek(3 << 20); f.write(b'end'); f.close()\n"
                                    "f = open('" + P("sp/tail") + "', 'wb'); f.write(b'start'); f.truncate(5 << 20); f.close()\n"
                                    "f = open('" + P("sp/empty") + "', 'wb'); f.truncate(1 << 20); f.close()\n"
                                    "open('" + P("sp/plain") + "', 'wb').write(b'plain text')\n"))
                .status,
            0);
  Shell(std::string("tar ") + GetParam().format + " -S -cf a.tar -C sp middle tail empty plain && mkdir ref && "
        "tar xf a.tar -C ref");
  const auto r = Call(tar, "x -f \"C:\\a.tar\" -o \"C:\\x\\\"");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::ReadTree(P("ref"))), "");
  EXPECT_EQ(fs::file_size(P("x/tail")), 5u << 20);
  // The listing gives the sizes of the files, not of the data stored.
  auto open = lib.Entry<TArcOpenArchiveProc>("TarOpenArchive");
  auto first = lib.Entry<TArcFindFirstProc>("TarFindFirst");
  auto next = lib.Entry<TArcFindNextProc>("TarFindNext");
  auto close = lib.Entry<TArcCloseArchiveProc>("TarCloseArchive");
  HARC h = open(nullptr, "C:\\a.tar", 0);
  ASSERT_NE(h, nullptr);
  INDIVIDUALINFO info;
  std::map<std::string, DWORD> sizes;
  for (int n = first(h, "*", &info); n == 0; n = next(h, &info)) sizes[info.szFileName] = info.dwOriginalSize;
  close(h);
  std::map<std::string, DWORD> expected;
  for (const char* name : {"middle", "tail", "empty", "plain"})
    expected[name] = static_cast<DWORD>(fs::file_size(P(std::string("ref/") + name)));
  EXPECT_EQ(sizes, expected);
  EXPECT_TRUE(check("C:\\a.tar", CHECKARCHIVE_FULLCRC));
}

INSTANTIATE_TEST_SUITE_P(Forms, SparseMembers,
                         ::testing::Values(SparseCase{"gnu", "--format=gnu"}, SparseCase{"oldgnu", "--format=oldgnu"},
                                           SparseCase{"pax_0_0", "--format=posix --sparse-version=0.0"},
                                           SparseCase{"pax_0_1", "--format=posix --sparse-version=0.1"},
                                           SparseCase{"pax_1_0", "--format=posix --sparse-version=1.0"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

TEST_F(TarReading, VeryLargePaxAttributesDoNotStopTheReading) {
  // Extended headers of several MiB (an extended attribute, a comment) before
  // members, a long name in a pax record, and a member that is itself such a
  // tar: its bytes must come out unchanged.
  const std::string script =
      "import tarfile, io\n"
      "def write(path, mode, inner=None):\n"
      "    t = tarfile.open(path, mode, format=tarfile.PAX_FORMAT)\n"
      "    def add(name, data, pax={}):\n"
      "        ti = tarfile.TarInfo(name); ti.size = len(data); ti.mtime = 1700000000; ti.pax_headers = pax\n"
      "        t.addfile(ti, io.BytesIO(data))\n"
      "    add('big-xattr.txt', b'one\\n', {'SCHILY.xattr.user.big': 'x' * 3000000})\n"
      "    add('big-comment.txt', b'two\\n', {'comment': 'y' * 2000000})\n"
      "    add('d/' + 'n' * 150 + '.txt', b'long name\\n')\n"
      "    if inner: add('inner.tar', open(inner, 'rb').read())\n"
      "    add('last.txt', b'last\\n')\n"
      "    t.close()\n"
      "write('" + P("inner.tar") + "', 'w')\n"
      "write('" + P("a.tar") + "', 'w', '" + P("inner.tar") + "')\n"
      "write('" + P("a.tgz") + "', 'w:gz', '" + P("inner.tar") + "')\n";
  ASSERT_EQ(Tool("python3 -c " + Sh(script)).status, 0);
  Shell("mkdir ref && tar xf a.tar -C ref");
  const arctest::Tree expected = arctest::ReadTree(P("ref"));
  ASSERT_EQ(expected.size(), 5u);
  for (const char* name : {"a.tar", "a.tgz"}) {
    fs::remove_all(P("x"));
    const auto r = Call(tar, std::string("x -f \"C:\\") + name + "\" -o \"C:\\x\\\"");
    ASSERT_EQ(r.code, 0) << name << "\n" << r.output;
    EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), expected), "") << name;
    EXPECT_TRUE(check((std::string("C:\\") + name).c_str(), CHECKARCHIVE_FULLCRC)) << name;
    const auto l = Call(tar, std::string("l -f \"C:\\") + name + "\"");
    EXPECT_EQ(l.code, 0) << l.output;
    EXPECT_NE(l.output.find("5 file(s)"), std::string::npos) << l.output;
  }
  auto type = lib.Entry<TTarGetArchiveTypeProc>("TarGetArchiveType");
  EXPECT_EQ(type("C:\\a.tar"), 1);
  EXPECT_EQ(type("C:\\a.tgz"), 2);
}

}  // namespace
