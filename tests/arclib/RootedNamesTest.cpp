// Rooted member names ("\tmp\file.txt" from Mac, Amiga and DOS LHA tools,
// "/etc/x" in ZIP archives, "\x" in cabinets): each library takes the root
// off, says so once (as the name shows it: names of cabinets and of ZIP
// archives made on MS-DOS come with "/" from libarchive),
// and writes what the format's usual reader writes.
// (tar's rooted names are compared with GNU tar in TarLinksTest.)
#include <filesystem>
#include <string>
#include <vector>

#include "ArcTestKit.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

// Python laying out stored archives byte by byte: lha(path, [(level, name,
// data, dirs)]) with level-0 or level-1 headers (dirs: a level-1 directory
// record, 0xFF between its parts) and cab(path, [(name, data)]).
const char kLayouts[] = R"PY(
import struct, sys, zipfile
def crc16(d):
    c = 0
    for b in d:
        c ^= b
        for _ in range(8):
            c = (c >> 1) ^ 0xA001 if c & 1 else c >> 1
    return c
def lha(path, members):
    out = b''
    for level, name, data, dirs in members:
        ext = b'\x02' + dirs if dirs else b''
        exts = ext + b'\0\0' if ext else b''
        body = b'-lh0-' + struct.pack('<IIIBB', len(exts) + len(data), len(data), 0x5A210000, 0x20, level) + bytes([len(name)]) + name + struct.pack('<H', crc16(data))
        if level == 1:
            body += b'U' + struct.pack('<H', len(ext) + 2 if ext else 0)
        out += bytes([len(body), sum(body) & 0xFF]) + body + exts + data
    open(path, 'wb').write(out + b'\0')
def cab(path, members):
    files, data = b'', b''
    for name, content in members:
        files += struct.pack('<IIHHHH', len(content), len(data), 0, 0x5A21, 0, 0x20) + name + b'\0'
        data += content
    start = 36 + 8 + len(files)
    block = struct.pack('<IHH', 0, len(data), len(data)) + data
    out = b'MSCF' + struct.pack('<IIIIIBBHHHHH', 0, start + len(block), 0, 44, 0, 3, 1, 1, len(members), 0, 0, 0)
    open(path, 'wb').write(out + struct.pack('<IHH', start, 1, 0) + files + block)
def zip(path, names, system):
    z = zipfile.ZipFile(path, 'w')
    for n in names:
        info = zipfile.ZipInfo(n); info.create_system = system
        z.writestr(info, 'data of ' + n)
    z.close()
)PY";

struct RootCase {
  const char* name;
  const char* library;
  const char* entry;
  const char* archive;    // below the drive
  const char* layout;     // python call writing it (A: its path)
  const char* reference;  // its usual reader, unpacking into the current folder (A: the archive;
                          // unzip's 1 is a warning, here that it stripped a root)
  const char* line;       // our extraction into C:\x\ (code page 932 in, UTF-8 here)
  std::vector<std::string> roots;
};

class RootedNames : public ::testing::TestWithParam<RootCase> {
 protected:
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  vxtest::DriveC drive;
};

TEST_P(RootedNames, LandBelowTheDestinationAsTheUsualReaderPutsThem) {
  const RootCase& c = GetParam();
  const std::string archive = P(c.archive);
  const std::string script = std::string(kLayouts) + "A = " + Sh(archive) + "\n" + c.layout + "\n";
  ASSERT_EQ(Tool("python3 -c " + Sh(script)).status, 0) << c.layout;
  fs::create_directories(P("ref"));
  const auto ref = Tool("cd " + Sh(P("ref")) + " && A=" + Sh(archive) + " && " + c.reference);
  ASSERT_EQ(ref.status, 0) << ref.output;
  const arctest::Tree expected = arctest::ReadTree(P("ref"));
  ASSERT_GE(expected.size(), 2u);

  arctest::RealLibrary lib(c.library);
  const auto r = Call(lib.Entry<TArcCommandProc>(c.entry), c.line);
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), expected), "");
  for (const std::string& root : c.roots)
    EXPECT_EQ(arctest::Count(r.output, "Removed the leading \"" + root + "\" from member names"), 1u)
        << root << "\n" << r.output;
  EXPECT_EQ(arctest::Count(r.output, "Removed the leading"), c.roots.size()) << r.output;
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, RootedNames,
    ::testing::Values(
        RootCase{"lha_mac_dos", "UNLHA32.DLL", "Unlha", "a.lzh",
                 "lha(A, [(0, b'\\\\Untitled\\\\subdir\\\\hello.txt', b'hello\\n', None), "
                 "(0, b'\\\\tmp\\\\file.txt', b'file\\n', None), (0, b'ok.txt', b'ok\\n', None)])",
                 "lha xqf \"$A\"", "x -+  \"C:\\a.lzh\" \"C:\\x\\\" ", {"\\"}},
        // Amiga tools write the root into the level-1 directory record.
        RootCase{"lha_amiga_level1", "UNLHA32.DLL", "Unlha", "a.lzh",
                 "lha(A, [(1, b'amiga.txt', b'amiga\\n', b'\\xffWork\\xffdir\\xff'), (1, b'ok.txt', b'ok\\n', None)])",
                 "lha xqf \"$A\"", "x -+  \"C:\\a.lzh\" \"C:\\x\\\" ", {"\\"}},
        RootCase{"zip_unix", "UNZIP32.DLL", "UnZip", "a.zip",
                 "zip(A, ['/abs/a.txt', '/abs/sub/b.txt', '//two/c.txt', 'ok.txt'], 3)", "unzip -q \"$A\"; test $? -le 1",
                 "-x -o  \"C:\\a.zip\" \"C:\\x\\\" ", {"/", "//"}},
        RootCase{"zip_dos", "UNZIP32.DLL", "UnZip", "a.zip",
                 "zip(A, ['\\\\win\\\\b.txt', 'ok.txt'], 0)", "unzip -q \"$A\"; test $? -le 1",
                 "-x -o  \"C:\\a.zip\" \"C:\\x\\\" ", {"/"}},
        RootCase{"cab", "CAB32.DLL", "Cab", "a.cab",
                 "cab(A, [(b'\\\\cab\\\\x.txt', b'one\\n'), (b'\\\\y.txt', b'two\\n'), (b'ok.txt', b'ok\\n')])",
                 "cabextract -q \"$A\"", "-x  \"C:\\a.cab\" \"C:\\x\\\" ", {"/"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Drive letters: the usual readers on this system keep "C:" as a folder
// name; on Windows it is a drive, so it is taken off with the root.
TEST(RootedNamesWithDrives, TakeTheDriveOffToo) {
  vxtest::DriveC drive;
  const std::string script = std::string(kLayouts) + "cab(" + Sh(drive.Path() + "/a.cab") +
                             ", [(b'C:\\\\d.txt', b'one'), (b'c:sub\\\\e.txt', b'two'), (b'C:\\\\..\\\\f.txt', b'bad')])\n";
  ASSERT_EQ(Tool("python3 -c " + Sh(script)).status, 0);
  arctest::RealLibrary lib("CAB32.DLL");
  const auto r = Call(lib.Entry<TArcCommandProc>("Cab"), "-x  \"C:\\a.cab\" \"C:\\x\\\" ");
  EXPECT_EQ(r.code, 0x8013) << r.output;
  EXPECT_NE(r.output.find("Refused: C:/../f.txt"), std::string::npos) << r.output;
  EXPECT_EQ(arctest::Count(r.output, "Removed the leading \"C:/\" from member names"), 1u) << r.output;
  EXPECT_EQ(arctest::Count(r.output, "Removed the leading \"c:\" from member names"), 1u) << r.output;
  EXPECT_EQ(arctest::ReadTree(drive.Path() + "/x"), (arctest::Tree{{"d.txt", "one"}, {"sub/e.txt", "two"}}));
  EXPECT_FALSE(fs::exists(drive.Path() + "/f.txt"));
}

}  // namespace
