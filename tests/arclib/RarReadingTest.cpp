// UNRAR32.DLL reading genuine RAR archives: a RAR 5 volume set read from
// its first volume (or refused, naming the member and the missing volume),
// damaged compression tables, a folder entry and a Unix link that the check
// must call sound; unar is the reference extractor.
#include <filesystem>

#include "ArcTestKit.h"
#include "SharedArchives.h"
#include "support/Cp932.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

class RarReading : public ::testing::Test {
 protected:
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  // Copies shared archives to C:\; false (the test skips) when one is missing.
  bool Fixtures(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      const std::string path = arctest::SharedArchive("rar/" + name);
      if (path.empty()) return false;
      fs::copy_file(path, P(name));
      fs::permissions(P(name), fs::perms::owner_write, fs::perm_options::add);
    }
    return true;
  }
  // What unar makes of an archive below C:\, in C:\ref.
  arctest::Tree Reference(const std::string& name) {
    const auto r = Tool("unar -q -f -D -o " + Sh(P("ref")) + " " + Sh(P(name)));
    EXPECT_EQ(r.status, 0) << r.output;
    return arctest::ReadTree(P("ref"));
  }

  vxtest::DriveC drive;
  arctest::RealLibrary lib{"UNRAR32.DLL"};
  TArcCommandProc unrar = lib.Entry<TArcCommandProc>("Unrar");
  TArcCheckArchiveProc check = lib.Entry<TArcCheckArchiveProc>("UnrarCheckArchive");
};

std::vector<std::string> VolumeNames(int count) {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) names.push_back("rar5-volumes.part0" + std::to_string(i) + ".rar");
  return names;
}

TEST_F(RarReading, AVolumeSetIsReadFromItsFirstVolume) {
  if (!Fixtures(VolumeNames(8))) GTEST_SKIP() << "the shared RAR fixtures are not there";
  const auto r = Call(unrar, "-x -y  \"C:\\rar5-volumes.part01.rar\" \"C:\\x\\\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  const arctest::Tree extracted = arctest::ReadTree(P("x"));
  EXPECT_EQ(arctest::TreeDiff(extracted, Reference("rar5-volumes.part01.rar")), "");
  EXPECT_GE(extracted.size(), 2u);
  for (const auto& [name, content] : extracted) EXPECT_FALSE(content.empty()) << name;
  EXPECT_EQ(Call(unrar, "-t  \"C:\\rar5-volumes.part01.rar\" ").code, 0);
  EXPECT_TRUE(check("C:\\rar5-volumes.part01.rar", 0));
  // The listing goes through the volumes too.
  const auto l = Call(unrar, "-l  \"C:\\rar5-volumes.part01.rar\" ");
  ASSERT_EQ(l.code, 0) << l.output;
  EXPECT_NE(l.output.find(std::to_string(extracted.size()) + " file(s)"), std::string::npos) << l.output;
  // The same set under the old names: old.rar, old.r00, old.r01 ...
  const std::vector<std::string> names = VolumeNames(8);
  for (size_t i = 0; i < names.size(); ++i)
    fs::copy_file(P(names[i]), P(i == 0 ? std::string("old.rar") : "old.r0" + std::to_string(i - 1)));
  const auto old = Call(unrar, "-x -y  \"C:\\old.rar\" \"C:\\o\\\" ");
  ASSERT_EQ(old.code, 0) << old.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("o")), extracted), "");
}

TEST_F(RarReading, AMemberContinuingIntoAMissingVolumeIsAnErrorNamingIt) {
  if (!Fixtures(VolumeNames(2))) GTEST_SKIP() << "the shared RAR fixtures are not there";
  const auto x = Call(unrar, "-x -y  \"C:\\rar5-volumes.part01.rar\" \"C:\\x\\\" ");
  EXPECT_EQ(x.code, ARCERR_HEADER_BROKEN) << x.output;
  EXPECT_NE(x.output.find("bsdcat_test is cut short"), std::string::npos) << x.output;
  EXPECT_NE(x.output.find("rar5-volumes.part03.rar"), std::string::npos) << x.output;
  // Nothing short or empty is left in its place.
  for (const auto& [name, content] : arctest::ReadTree(P("x"))) ADD_FAILURE() << "written: " << name;
  EXPECT_GE(Call(unrar, "-t  \"C:\\rar5-volumes.part01.rar\" ").code, 0x8000);
  EXPECT_FALSE(check("C:\\rar5-volumes.part01.rar", 0));
}

TEST_F(RarReading, DamagedTablesAreADamageErrorInEveryCommand) {
  if (!Fixtures({"rar5-bad-tables.rar"})) GTEST_SKIP() << "the shared RAR fixtures are not there";
  for (const char* line : {"-x -y  \"C:\\rar5-bad-tables.rar\" \"C:\\x\\\" ", "-t  \"C:\\rar5-bad-tables.rar\" "}) {
    const auto r = Call(unrar, line);
    EXPECT_EQ(r.code, ARCERR_HEADER_BROKEN) << line << "\n" << r.output;
    EXPECT_NE(r.output.find("damaged"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("bad_tables.txt"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Skipped"), std::string::npos) << r.output;
  }
  EXPECT_TRUE(!fs::exists(P("x")) || fs::is_empty(P("x")));
  EXPECT_FALSE(check("C:\\rar5-bad-tables.rar", 0));
}

TEST_F(RarReading, AFolderEntryIsSound) {
  if (!Fixtures({"rar5-with-folder.rar"})) GTEST_SKIP() << "the shared RAR fixtures are not there";
  const auto t = Call(unrar, "-t  \"C:\\rar5-with-folder.rar\" ");
  EXPECT_EQ(t.code, 0) << t.output;
  EXPECT_TRUE(check("C:\\rar5-with-folder.rar", 0));
  const auto x = Call(unrar, "-x -y  \"C:\\rar5-with-folder.rar\" \"C:\\x\\\" ");
  ASSERT_EQ(x.code, 0) << x.output;
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), Reference("rar5-with-folder.rar")), "");
}

TEST_F(RarReading, ARar4UnixLinkIsSoundAndNotMadeIntoAFile) {
  // Stored RAR 4 members from a Unix host: a file, a symbolic link to it
  // (its data is the target), and another file.
  const std::string script =
      "import struct, zlib\n"
      "def block(kind, flags, body):\n"
      "    head = bytes([kind]) + struct.pack('<HH', flags, 7 + len(body)) + body\n"
      "    return struct.pack('<H', zlib.crc32(head) & 0xFFFF) + head\n"
      "def member(name, data, attr):\n"
      "    body = struct.pack('<IIBIIBBHI', len(data), len(data), 3, zlib.crc32(data), 0x5A210000, 20, 0x30, len(name), attr) + name\n"
      "    return block(0x74, 0x8000, body) + data\n"
      "out = b'Rar!\\x1a\\x07\\x00' + block(0x73, 0, b'\\0' * 6)\n"
      "out += member(b'a.txt', b'hello', 0o100644) + member(b'link', b'a.txt', 0o120777) + member(b'b.txt', b'world', 0o100644)\n"
      "open('" + P("link.rar") + "', 'wb').write(out + block(0x7B, 0x4000, b''))\n";
  ASSERT_EQ(Tool("python3 -c " + Sh(script)).status, 0);
  const auto t = Call(unrar, "-t  \"C:\\link.rar\" ");
  EXPECT_EQ(t.code, 0) << t.output;
  EXPECT_TRUE(check("C:\\link.rar", 0));
  const auto x = Call(unrar, "-x -y  \"C:\\link.rar\" \"C:\\x\\\" ");
  // Not everything was extracted: no success.
  EXPECT_EQ(x.code, ARCERR_NOT_SUPPORT) << x.output;
  EXPECT_NE(x.output.find("Skipped: link"), std::string::npos) << x.output;
  EXPECT_EQ(arctest::ReadTree(P("x")), (arctest::Tree{{"a.txt", "hello"}, {"b.txt", "world"}}));
  EXPECT_FALSE(fs::exists(fs::symlink_status(P("x/link"))));
}

}  // namespace

namespace {

TEST_F(RarReading, AFlippedByteIsDamageNeverSuccessOrAnUnsupportedMethod) {
  if (!Fixtures({"rar5-with-folder.rar"})) GTEST_SKIP() << "the shared RAR fixtures are not there";
  ASSERT_EQ(Call(unrar, "-x -y  \"C:\\rar5-with-folder.rar\" \"C:\\ok\\\" ").code, 0);
  const arctest::Tree sound = arctest::ReadTree(P("ok"));
  const std::string good = drive.ReadFile("rar5-with-folder.rar");
  // Through the compressed data of the later members and their headers.
  for (size_t at = good.size() / 3; at + 20 < good.size(); at += 23) {
    std::string bytes = good;
    bytes[at] ^= 0x04;
    drive.WriteFile("f.rar", bytes);
    fs::remove_all(P("x"));
    const auto r = Call(unrar, "-x -y  \"C:\\f.rar\" \"C:\\x\\\" ");
    if (r.code == 0) {
      EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), sound), "") << "success over wrong bytes, at " << at;
      continue;
    }
    EXPECT_NE(r.code, ARCERR_METHOD) << at << "\n" << r.output;
    EXPECT_TRUE(r.code == ARCERR_HEADER_BROKEN || r.code == ARCERR_FILE_CRC || r.code == ARCERR_NOT_ARC_FILE)
        << at << "\n" << r.output;
  }
}

}  // namespace

namespace {

TEST_F(RarReading, StoredRar4MembersOfLaterVolumesAreCheckedToo) {
  // A RAR 4 volume set laid out byte by byte: one.txt and the first part of
  // big.bin in part1, the rest of big.bin and two.txt in part2 (stored).
  const std::string script =
      "import struct, zlib, sys\n"
      "def block(kind, flags, body, add=b''):\n"
      "    head = bytes([kind]) + struct.pack('<HH', flags, 7 + len(body)) + body\n"
      "    return struct.pack('<H', zlib.crc32(head) & 0xFFFF) + head + add\n"
      "def member(name, data, flags=0, crc=None, size=None):\n"
      "    body = struct.pack('<IIBIIBBHI', len(data), len(data) if size is None else size, 2,\n"
      "                       zlib.crc32(data) if crc is None else crc, 0x5A210000, 20, 0x30, len(name), 0x20) + name\n"
      "    return block(0x74, 0x8000 | flags, body, data)\n"
      "big = bytes(range(256)) * 40\n"
      "mark = b'Rar!\\x1a\\x07\\x00'\n"
      "v1 = mark + block(0x73, 0x11, b'\\0' * 6) + member(b'one.txt', b'first file') + \\\n"
      "     member(b'big.bin', big[:6000], 0x02, zlib.crc32(big[:6000]), len(big)) + block(0x7B, 0x01, b'')\n"
      "v2 = mark + block(0x73, 0x111, b'\\0' * 6) + member(b'big.bin', big[6000:], 0x01, zlib.crc32(big), len(big)) + \\\n"
      "     member(b'two.txt', b'second file') + block(0x7B, 0, b'')\n"
      "for stem, second in (('v', v2), ('bad', v2.replace(b'second file', b'secoNd file'))):\n"
      "    open(sys.argv[1] + '/' + stem + '.part1.rar', 'wb').write(v1)\n"
      "    open(sys.argv[1] + '/' + stem + '.part2.rar', 'wb').write(second)\n";
  ASSERT_EQ(Tool("python3 -c " + Sh(script) + " " + Sh(drive.Path())).status, 0);
  const auto x = Call(unrar, "-x -y  \"C:\\v.part1.rar\" \"C:\\x\\\" ");
  ASSERT_EQ(x.code, 0) << x.output;
  std::string big;
  for (int i = 0; i < 40; ++i)
    for (int b = 0; b < 256; ++b) big += static_cast<char>(b);
  EXPECT_EQ(arctest::ReadTree(P("x")),
            (arctest::Tree{{"one.txt", "first file"}, {"big.bin", big}, {"two.txt", "second file"}}));
  EXPECT_TRUE(check("C:\\v.part1.rar", 0));
  const auto bad = Call(unrar, "-x -y  \"C:\\bad.part1.rar\" \"C:\\y\\\" ");
  EXPECT_EQ(bad.code, ARCERR_FILE_CRC) << bad.output;
  EXPECT_NE(bad.output.find("CRC error in two.txt"), std::string::npos) << bad.output;
  EXPECT_FALSE(fs::exists(P("y/two.txt")));
  EXPECT_FALSE(check("C:\\bad.part1.rar", 0));
}

}  // namespace

namespace {

TEST_F(RarReading, EncryptedMembersAndHeadersAreRefusedAsEncrypted) {
  // RAR 4 layouts: a member with the password flag (its data encrypted),
  // and an archive whose headers are encrypted (main header flag 0x80).
  const std::string script =
      "import struct, zlib, os, sys\n"
      "def block(kind, flags, body, add=b''):\n"
      "    head = bytes([kind]) + struct.pack('<HH', flags, 7 + len(body)) + body\n"
      "    return struct.pack('<H', zlib.crc32(head) & 0xFFFF) + head + add\n"
      "data = os.urandom(64)\n"
      "body = struct.pack('<IIBIIBBHI', 64, 64, 2, 0x12345678, 0x5A210000, 29, 0x33, 10, 0x20) + b'secret.txt'\n"
      "mark = b'Rar!\\x1a\\x07\\x00'\n"
      "open(sys.argv[1] + '/member.rar', 'wb').write(mark + block(0x73, 0, b'\\0' * 6) + block(0x74, 0x8004, body, data) + block(0x7B, 0x4000, b''))\n"
      "open(sys.argv[1] + '/headers.rar', 'wb').write(mark + block(0x73, 0x80, b'\\0' * 6) + os.urandom(200))\n";
  ASSERT_EQ(Tool("python3 -c " + Sh(script) + " " + Sh(drive.Path())).status, 0);
  for (const char* name : {"member.rar", "headers.rar"}) {
    for (const std::string command : {"-x -y", "-t"}) {
      const auto r = Call(unrar, command + "  \"C:\\" + name + "\" \"C:\\x\\\" ");
      EXPECT_EQ(r.code, 0x800A) << name << " " << command << "\n" << r.output;
      EXPECT_NE(r.output.find("encrypted"), std::string::npos) << r.output;
    }
    EXPECT_FALSE(check((std::string("C:\\") + name).c_str(), 0)) << name;
  }
  EXPECT_NE(Call(unrar, "-x -y  \"C:\\member.rar\" \"C:\\x\\\" ").output.find("secret.txt is encrypted"),
            std::string::npos);
  EXPECT_TRUE(!fs::exists(P("x")) || fs::is_empty(P("x")));
}

}  // namespace
