// UNZIP32.DLL reading what Info-ZIP and 7-Zip wrote: ZIP64 archives (a
// stream from standard input, forced ZIP64 records, data descriptors) read
// as unzip reads them; encrypted archives and unsupported methods refused
// with their true reason, before anything is written.
#include <filesystem>

#include "ArcTestKit.h"
#include "support/Cp932.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

constexpr int kPasswordCode = 0x800A;  // the family's code for a member that needs a passphrase

class ZipReading : public ::testing::Test {
 protected:
  void SetUp() override { arctest::WriteTree(P("src"), arctest::SampleTree()); }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  void Shell(const std::string& command) {
    const auto r = Tool("cd " + Sh(P("src")) + " && " + command);
    ASSERT_EQ(r.status, 0) << command << "\n" << r.output;
  }

  vxtest::DriveC drive;
  arctest::RealLibrary lib{"UNZIP32.DLL"};
  TArcCommandProc unzip = lib.Entry<TArcCommandProc>("UnZip");
  TArcCheckArchiveProc check = lib.Entry<TArcCheckArchiveProc>("UnZipCheckArchive");
};

struct Zip64Case {
  const char* name;
  const char* make;  // run in C:\src, writes ../a.zip
};

class Zip64Archives : public ZipReading, public ::testing::WithParamInterface<Zip64Case> {};

TEST_P(Zip64Archives, ExtractListAndCheckAsUnzipDoes) {
  Shell(GetParam().make);
  ASSERT_NE(drive.ReadFile("a.zip").find("PK\x06\x06"), std::string::npos) << "no ZIP64 end record";
  const auto r = Call(unzip, "-x -o  \"C:\\a.zip\" \"C:\\x\\\" ");
  ASSERT_EQ(r.code, 0) << r.output;
  ASSERT_EQ(Tool("unzip -q " + Sh(P("a.zip")) + " -d " + Sh(P("ref"))).status, 0);
  EXPECT_EQ(arctest::TreeDiff(arctest::ReadTree(P("x")), arctest::ReadTree(P("ref"))), "");
  EXPECT_TRUE(check("C:\\a.zip", CHECKARCHIVE_FULLCRC));
  // The listing's sizes are the files' sizes.
  auto open = lib.Entry<TArcOpenArchiveProc>("UnZipOpenArchive");
  auto first = lib.Entry<TArcFindFirstProc>("UnZipFindFirst");
  auto next = lib.Entry<TArcFindNextProc>("UnZipFindNext");
  auto close = lib.Entry<TArcCloseArchiveProc>("UnZipCloseArchive");
  HARC h = open(nullptr, "C:\\a.zip", 0);
  ASSERT_NE(h, nullptr);
  INDIVIDUALINFO info;
  std::map<std::string, size_t> sizes, expected;
  for (int n = first(h, "*", &info); n == 0; n = next(h, &info)) {
    const std::string name = vxtest::Utf8(info.szFileName);
    if (!fs::is_directory(P("ref/" + name))) sizes[name] = info.dwOriginalSize;
  }
  close(h);
  for (const auto& [name, content] : arctest::ReadTree(P("ref"))) expected[name] = content.size();
  EXPECT_EQ(sizes, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Zip64Archives,
    ::testing::Values(Zip64Case{"stdin", "cat data/random.bin | zip -q ../a.zip -"},
                      Zip64Case{"forced", "zip -q -r -fz ../a.zip ."},
                      Zip64Case{"streamed", "zip -q -r -fz - . > ../a.zip"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
  const char* name;
  const char* make;    // run in C:\src, writes ../a.zip
  int code;
  const char* reason;  // in the report, after the member's name
};

class RefusedZips : public ZipReading, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedZips, SayTheTrueReasonAndWriteNothing) {
  const RefusedCase& c = GetParam();
  Shell(c.make);
  const auto r = Call(unzip, "-x -o  \"C:\\a.zip\" \"C:\\x\\\" ");
  EXPECT_EQ(r.code, c.code) << r.output;
  EXPECT_NE(r.output.find(std::string("readme.txt") + c.reason), std::string::npos) << r.output;
  EXPECT_TRUE(!fs::exists(P("x")) || arctest::ReadTree(P("x")).empty());
  EXPECT_FALSE(check("C:\\a.zip", CHECKARCHIVE_FULLCRC));
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, RefusedZips,
    ::testing::Values(
        RefusedCase{"zipcrypto", "zip -q -P secret ../a.zip docs/readme.txt", kPasswordCode, " is encrypted"},
        RefusedCase{"aes", "7zz a -tzip -mem=AES256 -psecret -bso0 ../a.zip docs/readme.txt", kPasswordCode, " is encrypted"},
        RefusedCase{"deflate64", "7zz a -tzip -mm=Deflate64 -bso0 ../a.zip docs/readme.txt", ARCERR_METHOD,
                    ": unsupported method Deflate64"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

TEST_F(ZipReading, AnEncryptedCentralDirectoryIsRefusedAsEncrypted) {
  // As strong encryption lays it out: a local header whose values are
  // masked (flag bit 13), the central directory encrypted, ZIP64 end records.
  const std::string script =
      "import struct, os\n"
      "local = struct.pack('<IHHHHHIIIHH', 0x04034b50, 62, 0x2041, 0, 0, 0, 0, 0, 0, 8, 0) + b'00000000' + os.urandom(64)\n"
      "cd = os.urandom(80)\n"
      "z64 = struct.pack('<IQHHIIQQQQ', 0x06064b50, 44, 62, 62, 0, 0, 1, 1, len(cd), len(local))\n"
      "loc = struct.pack('<IIQI', 0x07064b50, 0, len(local) + len(cd), 1)\n"
      "end = struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0)\n"
      "open('" + P("e.zip") + "', 'wb').write(local + cd + z64 + loc + end)\n";
  ASSERT_EQ(Tool("python3 -c " + Sh(script)).status, 0);
  const auto r = Call(unzip, "-x -o  \"C:\\e.zip\" \"C:\\x\\\" ");
  EXPECT_EQ(r.code, kPasswordCode) << r.output;
  EXPECT_NE(r.output.find("central directory is encrypted"), std::string::npos) << r.output;
  EXPECT_FALSE(check("C:\\e.zip", CHECKARCHIVE_FULLCRC));
}

}  // namespace
