// UNARJ32J.DLL and UNRAR32.DLL: extraction, listing and checking of
// archives made by the arj program or laid out byte by byte, unsafe names,
// damage, and the LHA-style command lines the ARJ back-end builds.
#include <filesystem>

#include "ArcTestKit.h"
#include "archives/ArchiveFile.h"
#include "archives/Archiver.h"
#include "support/Cp932.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

// Python that lays out stored archives: arj(path, [(name, data)]) and
// rar(path, [(name, data)]); a name ending in "/" is a directory.
const char kLayouts[] = R"PY(
import struct, zlib
def arj(path, members):
    def header(basic):
        return b'\x60\xea' + struct.pack('<H', len(basic)) + basic + struct.pack('<I', zlib.crc32(basic)) + b'\0\0'
    main = bytes([30, 11, 1, 2, 0x10, 0, 2, 0]) + b'\0' * 22 + b'a.arj\0\0'
    out = header(main)
    for name, data in members:
        kind = 3 if name.endswith(b'/') else 0
        basic = bytes([30, 11, 1, 0, 0x10, 0, kind, 0]) + struct.pack('<IIIIHHH', 0x5A210000, len(data), len(data), zlib.crc32(data), 0, 0x20, 0) + name.rstrip(b'/') + b'\0\0'
        out += header(basic) + data
    open(path, 'wb').write(out + b'\x60\xea\0\0')
def rar(path, members):
    def block(kind, flags, body):
        head = bytes([kind]) + struct.pack('<HH', flags, 7 + len(body)) + body
        return struct.pack('<H', zlib.crc32(head) & 0xFFFF) + head
    out = b'Rar!\x1a\x07\x00' + block(0x73, 0, b'\0' * 6)
    for name, data in members:
        flags = 0x8000 | (0xE0 if name.endswith(b'/') else 0)
        name = name.rstrip(b'/')
        body = struct.pack('<IIBIIBBHI', len(data), len(data), 2, zlib.crc32(data), 0x5A210000, 20, 0x30, len(name), 0x10 if flags & 0xE0 == 0xE0 else 0x20) + name
        out += block(0x74, flags, body) + data
    open(path, 'wb').write(out + block(0x7B, 0x4000, b''))
)PY";

class ReadOnlyLibraries : public ::testing::Test {
 protected:
  void SetUp() override { arctest::WriteTree(P("src"), arctest::SampleTree()); }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  void Layout(const std::string& call) {
    ASSERT_EQ(Tool("python3 -c " + Sh(std::string(kLayouts) + call)).status, 0) << call;
  }
  // The unsafe names every reader must refuse, rooted names it takes below
  // the destination, and one good member.
  std::string UnsafeMembers() const {
    return "[(b'../evil1.txt', b'bad'), (b'/abs/rooted.txt', b'in'), (b'C:/drive.txt', b'in'), "
           "(b'pre/evil4.txt', b'bad'), (b'/../evil5.txt', b'bad'), (b'ok.txt', b'fine')]";
  }
  void ExpectRefused(const arctest::CommandResult& r) {
    EXPECT_EQ(r.code, 0x8013) << r.output;
    for (const char* name : {"evil1.txt", "evil4.txt", "evil5.txt"})
      EXPECT_NE(r.output.find(name), std::string::npos) << name << "\n" << r.output;
    EXPECT_EQ(arctest::Count(r.output, "Refused: "), 3u) << r.output;
    EXPECT_EQ(arctest::Count(r.output, "Removed the leading \"/\" from member names"), 1u) << r.output;
    EXPECT_EQ(arctest::Count(r.output, "Removed the leading \"C:/\" from member names"), 1u) << r.output;
    EXPECT_EQ(drive.ReadFile("x/abs/rooted.txt"), "in");
    EXPECT_EQ(drive.ReadFile("x/drive.txt"), "in");
    EXPECT_TRUE(fs::is_empty(P("outside")));
    EXPECT_FALSE(fs::exists(P("evil5.txt")));
    EXPECT_EQ(drive.ReadFile("x/ok.txt"), "fine");
  }
  void PrepareUnsafeDestination() {
    fs::create_directories(P("outside"));
    fs::create_directories(P("x"));
    fs::create_directory_symlink(P("outside"), P("x/pre"));
  }

  vxtest::DriveC drive;
};

class ArjLibrary : public ReadOnlyLibraries {
 protected:
  void SetUp() override {
    ReadOnlyLibraries::SetUp();
    if (Tool("command -v arj").status != 0) GTEST_SKIP() << "the arj program is not installed";
  }
  arctest::RealLibrary lib{"UNARJ32J.DLL"};
  TArcCommandProc unarj = lib.Entry<TArcCommandProc>("Unarj");
};

TEST_F(ArjLibrary, ExtractsWhatArjPackedWithEveryCommonMethod) {
  for (const char* method : {"-m0", "-m1", "-m2", "-m3"}) {
    const std::string archive = std::string("a") + method + ".arj";
    ASSERT_EQ(Tool("cd " + Sh(P("src")) + " && arj a -r -y " + method + " ../" + archive + " '*' >/dev/null").status, 0);
    fs::remove_all(P("x"));
    const auto r = Call(unarj, "x -+ -x1  \"C:\\" + archive + "\" \"C:\\x\\\" ");
    ASSERT_EQ(r.code, 0) << method << "\n" << r.output;
    EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::SampleTree()), "") << method;
  }
  auto r = Call(unarj, "e -+  \"C:\\a-m1.arj\" \"C:\\y\\\" \"*.txt\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::ListDir(P("y")),
            (std::vector<std::string>{"empty.txt", "readme.txt", "top.txt", "日本語ファイル.txt"}));
  EXPECT_EQ(Call(unarj, "t -+  \"C:\\a-m3.arj\" ").code, 0);
  auto check = lib.Entry<TArcCheckArchiveProc>("UnarjCheckArchive");
  EXPECT_TRUE(check("C:\\a-m2.arj", CHECKARCHIVE_FULLCRC));
}

TEST_F(ArjLibrary, MethodFourIsReportedAsUnsupported) {
  ASSERT_EQ(Tool("cd " + Sh(P("src")) + " && arj a -y -m4 ../f.arj docs/readme.txt >/dev/null").status, 0);
  const auto r = Call(unarj, "x -+  \"C:\\f.arj\" \"C:\\x\\\" ");
  EXPECT_EQ(r.code, ARCERR_METHOD);
  EXPECT_NE(r.output.find("readme.txt"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(P("x/docs/readme.txt")));
}

// A long member's test or check tells the owner window as it goes, which
// can stop it there.
TEST_F(ArjLibrary, VerifyingReportsProgressAndCanBeStopped) {
  drive.WriteFile("big/zeros.bin", std::string(3 << 20, '\0'));
  ASSERT_EQ(Tool("cd " + Sh(P("big")) + " && arj a -y -m1 ../big.arj zeros.bin >/dev/null").status, 0);
  arctest::ExpectVerificationStopsInside(lib, "Unarj", "t -+  \"C:\\big.arj\" ", "C:\\big.arj");
  EXPECT_TRUE(lib.Entry<TArcCheckArchiveProc>("UnarjCheckArchive")("C:\\big.arj", CHECKARCHIVE_FULLCRC));
}

// A file made to keep the search for the main header busy: a run of
// headers with good CRCs whose first extended-header size jumps to one long
// chain of tiny extended headers reaching to the end of 1 MiB. Each
// candidate used to walk the whole chain before its type (no main header
// but the last) was looked at: minutes to open. The last one has a chain
// longer than ARJ ever writes.
TEST_F(ReadOnlyLibraries, ArjHeaderSearchIsNotFooledIntoLongWalks) {
  Layout(R"PY(
import struct, zlib
count, step = 1500, 40
chain = count * step + 8
out = bytearray()
for i in range(count):
    basic = bytes([30, 11, 1, 0, 0, 0, 2 if i == count - 1 else 0, 0]) + b'\0' * 22
    head = b'\x60\xea' + struct.pack('<H', len(basic)) + basic + struct.pack('<I', zlib.crc32(basic))
    jump = chain - (len(out) + len(head) + 2) - 4
    out += head + struct.pack('<H', jump)
out += b'\xff' * 8
while len(out) < (1 << 20) - 16:
    out += b'\x01\x00\x00' + b'\0' * 4
)PY"
         "\nopen('" + P("busy.arj") + "', 'wb').write(out + b'\\0\\0')");
  arctest::RealLibrary lib{"UNARJ32J.DLL"};
  auto open = lib.Entry<TArcOpenArchiveProc>("UnarjOpenArchive");
  EXPECT_EQ(open(nullptr, "C:\\busy.arj", 0), nullptr);
  const auto r = Call(lib.Entry<TArcCommandProc>("Unarj"), "t -+  \"C:\\busy.arj\" ");
  EXPECT_EQ(r.code, ARCERR_NOT_ARC_FILE) << r.output;
}

TEST_F(ArjLibrary, ListingGivesNamesSizesAndCrc) {
  ASSERT_EQ(Tool("cd " + Sh(P("src")) + " && arj a -r -y -m1 ../a.arj '*' >/dev/null").status, 0);
  auto open = lib.Entry<TArcOpenArchiveProc>("UnarjOpenArchive");
  auto first = lib.Entry<TArcFindFirstProc>("UnarjFindFirst");
  auto next = lib.Entry<TArcFindNextProc>("UnarjFindNext");
  auto close = lib.Entry<TArcCloseArchiveProc>("UnarjCloseArchive");
  HARC h = open(nullptr, "C:\\a.arj", M_ERROR_MESSAGE_OFF | M_REGARDLESS_INIT_FILE);
  ASSERT_NE(h, nullptr);
  INDIVIDUALINFO info;
  std::map<std::string, DWORD> sizes;
  for (int r = first(h, "*", &info); r == 0; r = next(h, &info)) sizes[vxtest::Utf8(info.szFileName)] = info.dwOriginalSize;
  EXPECT_EQ(close(h), 0);
  EXPECT_EQ(sizes["docs\\日本語ファイル.txt"], 19u);
  EXPECT_EQ(sizes["data\\random.bin"], 70000u);
  drive.WriteFile("text.arj", "no archive here");
  EXPECT_EQ(open(nullptr, "C:\\text.arj", 0), nullptr);
}

TEST_F(ArjLibrary, RefusesUnsafeNamesAndDamage) {
  PrepareUnsafeDestination();
  Layout("arj('" + P("evil.arj") + "', " + UnsafeMembers() + ")");
  ExpectRefused(Call(unarj, "x -+  \"C:\\evil.arj\" \"C:\\x\\\" "));
  ASSERT_EQ(Tool("cd " + Sh(P("src")) + " && arj a -r -y -m1 ../a.arj '*' >/dev/null").status, 0);
  const std::string good = drive.ReadFile("a.arj");
  drive.WriteFile("cut.arj", good.substr(0, good.size() / 2));
  std::string flipped = good;
  for (size_t i = flipped.size() / 3; i < flipped.size(); i += 53) flipped[i] = static_cast<char>(~flipped[i]);
  drive.WriteFile("flipped.arj", flipped);
  auto check = lib.Entry<TArcCheckArchiveProc>("UnarjCheckArchive");
  for (const char* name : {"cut.arj", "flipped.arj"}) {
    EXPECT_GE(Call(unarj, std::string("x -+  \"C:\\") + name + "\" \"C:\\z\\\" ").code, 0x8000) << name;
    EXPECT_FALSE(check((std::string("C:\\") + name).c_str(), CHECKARCHIVE_FULLCRC)) << name;
  }
  EXPECT_GE(Call(unarj, "u -+  \"C:\\a.arj\" \"C:\\src\\top.txt\" ").code, 0x8000);
}

// The back-end's extraction line (the LHA builder's, sent to Unarj) reaches
// our library and unpacks the tree.
TEST_F(ArjLibrary, TheBackEndExtractsThroughOurLibrary) {
  ASSERT_EQ(Tool("cd " + Sh(P("src")) + " && arj a -r -y -m2 ../a.arj '*' >/dev/null").status, 0);
  arctest::BinOnPath path;
  auto archiver = vx::CreateArchiver(vx::atArj);
  vx::TArchiverOptions options;
  std::string output(4096, '\0');
  ASSERT_EQ(archiver->Extract(nullptr, "C:\\a.arj", options, "C:\\x", nullptr, false, output), 0)
      << archiver->CmdLine << "\n" << vxtest::Utf8(output.c_str());
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::SampleTree()), "") << archiver->CmdLine;
  EXPECT_TRUE(archiver->CheckArchive("C:\\a.arj", CHECKARCHIVE_FULLCRC, 0));
}

class RarLibrary : public ReadOnlyLibraries {
 protected:
  arctest::RealLibrary lib{"UNRAR32.DLL"};
  TArcCommandProc unrar = lib.Entry<TArcCommandProc>("Unrar");
};

TEST_F(RarLibrary, ExtractsListsAndChecksStoredArchives) {
  Layout("rar('" + P("a.rar") + "', [(b'docs/', b''), (b'docs/readme.txt', b'read me'), (b'top.txt', b'hello'), "
         "('docs/日本語.txt'.encode('cp932'), b'sjis name')])");
  auto r = Call(unrar, "-x -u  \"C:\\a.rar\" \"C:\\x\\\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::ReadTree(P("x")), (arctest::Tree{{"docs/readme.txt", "read me"}, {"top.txt", "hello"},
                                                      {"docs/日本語.txt", "sjis name"}}));
  // -u keeps a newer file on disk; -y overwrites it.
  drive.WriteFile("x/top.txt", "mine");
  fs::last_write_time(P("x/top.txt"), fs::file_time_type::clock::now() + std::chrono::hours(1));
  ASSERT_EQ(Call(unrar, "-x -u  \"C:\\a.rar\" \"C:\\x\\\" \"top.txt\" ").code, 0);
  EXPECT_EQ(drive.ReadFile("x/top.txt"), "mine");
  ASSERT_EQ(Call(unrar, "-x -y  \"C:\\a.rar\" \"C:\\x\\\" \"top.txt\" ").code, 0);
  EXPECT_EQ(drive.ReadFile("x/top.txt"), "hello");
  r = Call(unrar, "-e -u  \"C:\\a.rar\" \"C:\\y\\\" \"*.txt\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::ListDir(P("y")), (std::vector<std::string>{"readme.txt", "top.txt", "日本語.txt"}));
  auto open = lib.Entry<TArcOpenArchiveProc>("UnrarOpenArchive");
  auto first = lib.Entry<TArcFindFirstProc>("UnrarFindFirst");
  auto next = lib.Entry<TArcFindNextProc>("UnrarFindNext");
  auto close = lib.Entry<TArcCloseArchiveProc>("UnrarCloseArchive");
  HARC h = open(nullptr, "C:\\a.rar", 0);
  ASSERT_NE(h, nullptr);
  INDIVIDUALINFO info;
  std::vector<std::string> names;
  for (int n = first(h, "*", &info); n == 0; n = next(h, &info)) names.push_back(vxtest::Utf8(info.szFileName));
  EXPECT_EQ(close(h), 0);
  EXPECT_EQ(names, (std::vector<std::string>{"docs", "docs\\readme.txt", "top.txt", "docs\\日本語.txt"}));
  auto check = lib.Entry<TArcCheckArchiveProc>("UnrarCheckArchive");
  EXPECT_TRUE(check("C:\\a.rar", 0));
}

TEST_F(RarLibrary, RefusesUnsafeNamesDamageAndBadLines) {
  PrepareUnsafeDestination();
  Layout("rar('" + P("evil.rar") + "', " + UnsafeMembers() + ")");
  ExpectRefused(Call(unrar, "-x -y  \"C:\\evil.rar\" \"C:\\x\\\" "));
  Layout("rar('" + P("a.rar") + "', [(b'data.bin', bytes(range(256)) * 64)])");
  const std::string good = drive.ReadFile("a.rar");
  drive.WriteFile("cut.rar", good.substr(0, good.size() / 2));
  std::string flipped = good;
  flipped[good.size() / 2] = static_cast<char>(~flipped[good.size() / 2]);
  drive.WriteFile("flipped.rar", flipped);
  drive.WriteFile("text.rar", "no archive");
  auto check = lib.Entry<TArcCheckArchiveProc>("UnrarCheckArchive");
  for (const char* name : {"cut.rar", "flipped.rar", "text.rar"}) {
    EXPECT_GE(Call(unrar, std::string("-x -y  \"C:\\") + name + "\" \"C:\\z\\\" ").code, 0x8000) << name;
    EXPECT_FALSE(check((std::string("C:\\") + name).c_str(), 0)) << name;
  }
  const auto bad = Call(unrar, "-x -q  \"C:\\a.rar\" ");
  EXPECT_GE(bad.code, 0x8000);
  EXPECT_NE(bad.output.find("-q"), std::string::npos);
}

TEST_F(RarLibrary, TheBackEndExtractsThroughOurLibrary) {
  Layout("rar('" + P("a.rar") + "', [(b'docs/readme.txt', b'read me'), (b'top.txt', b'hello')])");
  arctest::BinOnPath path;
  auto archiver = vx::CreateArchiver(vx::atRar);
  vx::TArchiverOptions options;
  std::string output(4096, '\0');
  ASSERT_EQ(archiver->Extract(nullptr, "C:\\a.rar", options, "C:\\x", nullptr, false, output), 0)
      << archiver->CmdLine << "\n" << vxtest::Utf8(output.c_str());
  EXPECT_EQ(arctest::ReadTree(P("x")), (arctest::Tree{{"docs/readme.txt", "read me"}, {"top.txt", "hello"}}));
  options.x = 0;
  ASSERT_EQ(archiver->Extract(nullptr, "C:\\a.rar", options, "C:\\y", nullptr, false, output), 0) << archiver->CmdLine;
  EXPECT_EQ(arctest::ListDir(P("y")), (std::vector<std::string>{"readme.txt", "top.txt"}));
}

}  // namespace

namespace {

TEST_F(ArjLibrary, UnixArchivesKeepTheirFileTimes) {
  // Debian's arj marks its archives as made on Unix and stores Unix times.
  const std::time_t stamp = 1709634030;  // 2024-03-05 10:20:30 UTC
  fs::last_write_time(P("src/top.txt"), fs::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(stamp)));
  ASSERT_EQ(Tool("cd " + Sh(P("src")) + " && arj a -y -m1 ../u.arj top.txt >/dev/null").status, 0);
  ASSERT_EQ(Call(unarj, "x -+  \"C:\\u.arj\" \"C:\\x\\\" ").code, 0);
  const auto written = fs::last_write_time(P("x/top.txt"));
  EXPECT_EQ(std::chrono::system_clock::to_time_t(fs::file_time_type::clock::to_sys(written)), stamp);
  auto open = lib.Entry<TArcOpenArchiveProc>("UnarjOpenArchive");
  auto first = lib.Entry<TArcFindFirstProc>("UnarjFindFirst");
  auto close = lib.Entry<TArcCloseArchiveProc>("UnarjCloseArchive");
  HARC h = open(nullptr, "C:\\u.arj", 0);
  ASSERT_NE(h, nullptr);
  INDIVIDUALINFO info;
  ASSERT_EQ(first(h, "*", &info), 0);
  close(h);
  // The listing's DOS date and time are the local time of that moment.
  struct tm local;
  localtime_r(&stamp, &local);
  EXPECT_EQ(info.wDate, ((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  EXPECT_EQ(info.wTime, (local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
}

TEST_F(ArjLibrary, EncryptedMembersAreRefusedAsEncrypted) {
  ASSERT_EQ(Tool("cd " + Sh(P("src")) + " && arj a -y -m1 -gsecret ../g.arj docs/readme.txt >/dev/null").status, 0);
  for (const char* line : {"x -+  \"C:\\g.arj\" \"C:\\x\\\" ", "t -+  \"C:\\g.arj\" "}) {
    const auto r = Call(unarj, line);
    EXPECT_EQ(r.code, 0x800A) << line << "\n" << r.output;
    EXPECT_NE(r.output.find("readme.txt is encrypted"), std::string::npos) << r.output;
  }
  EXPECT_FALSE(fs::exists(P("x/docs/readme.txt")));
  auto check = lib.Entry<TArcCheckArchiveProc>("UnarjCheckArchive");
  EXPECT_FALSE(check("C:\\g.arj", CHECKARCHIVE_FULLCRC));
}

}  // namespace
