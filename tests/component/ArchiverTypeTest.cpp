// Choosing the back-end: the extension table, names the table does not know,
// a missing library, probing the content of .exe files and of undetermined
// archives, and the ArchiverType setter itself.
#include <typeindex>
#include <typeinfo>

#include "ComponentFixture.h"

using namespace vx;
using componenttest::ArchiverMessage;
using componenttest::ComponentTest;
using componenttest::kAllLibraries;
using vxtest::Sjis;

namespace {

std::type_index BackEndClass(const TArchiveFile& file) { return typeid(*file.Archiver()); }

const char kUndetermined[] = "書庫の形式を判別できません。";
const char kUnsupported[] = "現在のバージョンではこの形式の書庫をサポートしていません。";

}  // namespace

TEST_F(ComponentTest, ExtensionSelectsTypeAndBackEndClass) {
  vxtest::TestLibraries libs(kAllLibraries);
  struct Case {
    const char* name;
    TArchiverType type;
    std::type_index backEnd;
  } cases[] = {
      {"C:\\a.lzh", atLha, typeid(TLha32)}, {"C:\\a.LZH", atLha, typeid(TLha32)},
      {"C:\\a.zip", atZip, typeid(TZip32)}, {"C:\\a.cab", atCab, typeid(TCab32)},
      {"C:\\a.arj", atArj, typeid(TArj32)}, {"C:\\a.tar", atTar, typeid(TTar32)},
      {"C:\\a.TGZ", atTgz, typeid(TTgz32)}, {"C:\\a.Z", atTgz, typeid(TTgz32)},
      {"C:\\a.gz", atTgz, typeid(TTgz32)},  {"C:\\a.tar.gz", atTgz, typeid(TTgz32)},
      {"C:\\a.taz", atTgz, typeid(TTgz32)}, {"C:\\a.bz2", atBZ2, typeid(TBZ232)},
      {"C:\\a.rar", atRar, typeid(TRar32)}, {"a.Rar", atRar, typeid(TRar32)},
  };
  for (const Case& c : cases) {
    TArchiveFile file(nullptr);
    file.SetFileName(c.name);
    EXPECT_EQ(file.GetArchiverType(), c.type) << c.name;
    ASSERT_NE(file.Archiver(), nullptr) << c.name;
    EXPECT_EQ(BackEndClass(file), c.backEnd) << c.name;
    EXPECT_EQ(file.GetFileName(), c.name);
  }
}

TEST_F(ComponentTest, NewComponentState) {
  TArchiveFile file(nullptr);
  EXPECT_EQ(file.GetArchiverType(), atAutoDetect);
  EXPECT_EQ(file.Archiver(), nullptr);
  EXPECT_EQ(file.GetFileName(), NoValue);
  EXPECT_EQ(file.CommandLine(), "");
  EXPECT_EQ(file.GetOutputSize(), 0);
  EXPECT_EQ(file.GetOutput(), "");
  EXPECT_EQ(file.WindowHandle(), nullptr);
  EXPECT_EQ(file.Options().PackFilter, pfArchiver);
  EXPECT_EQ(file.Options().r, -1);
}

TEST_F(ComponentTest, UnknownExtensionKeepsTypeAndBackEndButStoresTheName) {
  vxtest::TestLibraries libs(kAllLibraries);
  TArchiveFile file(nullptr);
  for (const char* name : {"C:\\a.txt", "C:\\noext", "C:\\a.lzh\\b", "C:\\x.lzh:b", ""}) {
    file.SetFileName(name);
    EXPECT_EQ(file.GetArchiverType(), atAutoDetect) << name;
    EXPECT_EQ(file.Archiver(), nullptr) << name;
    EXPECT_EQ(file.GetFileName(), name);
  }
  file.SetFileName("C:\\a.lzh");
  TArchiver* lha = file.Archiver();
  file.SetFileName("C:\\b.doc");
  EXPECT_EQ(file.GetArchiverType(), atLha);
  EXPECT_EQ(file.Archiver(), lha);
  EXPECT_EQ(file.GetFileName(), "C:\\b.doc");
}

TEST_F(ComponentTest, MissingLibraryKeepsTypeBackEndAndName) {
  vxtest::TestLibraries libs({"full/UNLHA32.DLL"});
  TArchiveFile file(nullptr);
  file.SetFileName("C:\\a.lzh");
  TArchiver* lha = file.Archiver();
  EXPECT_EQ(ArchiverMessage([&] { file.SetFileName("C:\\a.cab"); }),
            Sjis("CAB 形式書庫を扱うには CAB32.DLL が 必要です。"));
  EXPECT_EQ(ArchiverMessage([&] { file.SetArchiverType(atRar); }),
            Sjis("この機能の使用には UNRAR32.DLL が 必要です。"));
  EXPECT_EQ(file.GetArchiverType(), atLha);
  EXPECT_EQ(file.Archiver(), lha);
  EXPECT_EQ(file.GetFileName(), "C:\\a.lzh");
}

TEST_F(ComponentTest, ExeThatNoLibraryKnowsKeepsTypeAndBackEnd) {
  vxtest::TestLibraries libs(kAllLibraries);
  TArchiveFile file(nullptr);
  file.SetFileName("C:\\none.exe");
  EXPECT_EQ(file.GetArchiverType(), atAutoDetect);
  EXPECT_EQ(file.Archiver(), nullptr);
  file.SetFileName("C:\\a.zip");
  TArchiver* zip = file.Archiver();
  file.SetFileName("C:\\none.EXE");
  EXPECT_EQ(file.GetArchiverType(), atZip);
  EXPECT_EQ(file.Archiver(), zip);
  EXPECT_EQ(file.GetFileName(), "C:\\none.EXE");
  // All six checks were asked, each time.
  EXPECT_EQ(arctest::CallsOf("TarGetArchiveType").size(), 2u);
  EXPECT_EQ(arctest::CallsOf("UnlhaOpenArchive").size(), 2u);
}

TEST_F(ComponentTest, ExeWithoutAnyLibraryIsNoArchive) {
  vxtest::TestLibraries libs({});
  drive.WriteFile("a.exe", "MZ");
  EXPECT_EQ(GetArchiverType("C:\\a.exe", true), atNone);
  EXPECT_EQ(GetArchiverType("C:\\a.exe", false), atNone);
}

// ---- content probes ----------------------------------------------------------------

struct ProbeCase {
  const char* name;
  int tarType;  // what tar32.dll says of the file; 0 = not a tar archive
  bool rar, arj, cab, zip, lha;
  TArchiverType expected;
};
void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.name; }

class ContentProbeTest : public ComponentTest, public ::testing::WithParamInterface<ProbeCase> {};

TEST_P(ContentProbeTest, LastPositiveCheckInTheFixedOrderWins) {
  vxtest::TestLibraries libs(kAllLibraries);
  drive.WriteFile("arc.exe", "MZ");
  const ProbeCase& c = GetParam();
  const auto handle = [](bool yes) { return yes ? intptr_t{0x51} : intptr_t{0}; };
  arctest::ScriptResult("tar32.dll", "TarGetArchiveType", c.tarType);
  arctest::ScriptResult("UNRAR32.DLL", "UnrarOpenArchive", handle(c.rar));
  arctest::ScriptResult("UNARJ32J.DLL", "UnarjOpenArchive", handle(c.arj));
  arctest::ScriptResult("CAB32.DLL", "CabOpenArchive", handle(c.cab));
  arctest::ScriptResult("UNZIP32.DLL", "UnZipOpenArchive", handle(c.zip));
  arctest::ScriptResult("ZIP32J.DLL", "UnZipOpenArchive", handle(c.zip));
  arctest::ScriptResult("UNLHA32.DLL", "UnlhaOpenArchive", handle(c.lha));

  TArchiveFile file(nullptr);
  file.SetFileName("C:\\arc.exe");
  const TArchiverType expected = c.expected == atNone ? atAutoDetect : c.expected;
  EXPECT_EQ(file.GetArchiverType(), expected);
  EXPECT_EQ(file.Archiver() != nullptr, c.expected != atNone);

  // Every check runs, in this order, with no window and the fixed mode.
  EXPECT_EQ(EntriesCalled({"TarGetArchiveType", "UnrarOpenArchive", "UnarjOpenArchive",
                           "CabOpenArchive", "UnZipOpenArchive", "UnlhaOpenArchive"}),
            (std::vector<std::string>{"TarGetArchiveType", "UnrarOpenArchive", "UnarjOpenArchive",
                                      "CabOpenArchive", "UnZipOpenArchive", "UnlhaOpenArchive"}));
  for (const arctest::Call& call : arctest::Calls()) {
    if (call.entry.find("OpenArchive") == std::string::npos) continue;
    EXPECT_EQ(call.window, nullptr) << call.entry;
    EXPECT_EQ(call.mode, 0x00800002u) << call.entry;
    EXPECT_EQ(call.text, "C:\\arc.exe") << call.entry;
  }
  // An archive that opened is closed again.
  EXPECT_EQ(arctest::CallsOf("UnlhaCloseArchive").size(), c.lha ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Order, ContentProbeTest,
    ::testing::Values(ProbeCase{"AllSayYesLhaWins", 1, true, true, true, true, true, atLha},
                      ProbeCase{"ZipBeatsCab", 2, true, true, true, true, false, atZip},
                      ProbeCase{"CabBeatsArj", 6, true, true, true, false, false, atCab},
                      ProbeCase{"ArjBeatsRar", 1, true, true, false, false, false, atArj},
                      ProbeCase{"RarBeatsTar", 1, true, false, false, false, false, atRar},
                      ProbeCase{"LhaAloneAfterNoes", 0, false, false, false, false, true, atLha},
                      ProbeCase{"PlainTar", 1, false, false, false, false, false, atTar},
                      ProbeCase{"TarGzip", 3, false, false, false, false, false, atTgz},
                      ProbeCase{"TarBzip2", 7, false, false, false, false, false, atBZ2},
                      ProbeCase{"Nothing", 0, false, false, false, false, false, atNone}),
    [](const ::testing::TestParamInfo<ProbeCase>& info) { return info.param.name; });

// ---- the ArchiverType setter -----------------------------------------------------

TEST_F(ComponentTest, EachConcreteTypeMakesANewBackEnd) {
  vxtest::TestLibraries libs(kAllLibraries);
  TArchiveFile file(nullptr);
  file.SetArchiverType(atLha);
  TArchiver* first = file.Archiver();
  file.SetArchiverType(atLha);
  ASSERT_NE(file.Archiver(), nullptr);
  EXPECT_NE(file.Archiver(), first);  // the new one exists before the old one goes
  EXPECT_EQ(file.GetArchiverType(), atLha);
  EXPECT_EQ(BackEndClass(file), std::type_index(typeid(TLha32)));
}

TEST_F(ComponentTest, NoneChangesNothingAutoDetectKeepsTheBackEnd) {
  vxtest::TestLibraries libs(kAllLibraries);
  TArchiveFile file(nullptr);
  file.SetArchiverType(atCab);
  TArchiver* cab = file.Archiver();
  file.SetArchiverType(atNone);
  EXPECT_EQ(file.GetArchiverType(), atCab);
  EXPECT_EQ(file.Archiver(), cab);
  file.SetArchiverType(atAutoDetect);
  EXPECT_EQ(file.GetArchiverType(), atAutoDetect);
  EXPECT_EQ(file.Archiver(), cab);
}

TEST_F(ComponentTest, TypeOutsideTheEnumerationRaisesUnlessReadFromAStream) {
  vxtest::TestLibraries libs(kAllLibraries);
  TArchiveFile file(nullptr);
  file.SetArchiverType(atZip);
  TArchiver* zip = file.Archiver();
  for (int value : {10, -1, 255}) {
    EXPECT_EQ(ArchiverMessage([&] { file.SetArchiverType(static_cast<TArchiverType>(value)); }),
              Sjis(kUnsupported))
        << value;
    EXPECT_EQ(file.GetArchiverType(), atZip);
    EXPECT_EQ(file.Archiver(), zip);
  }
  file.Reading = true;
  file.SetArchiverType(static_cast<TArchiverType>(10));
  EXPECT_EQ(file.GetArchiverType(), static_cast<TArchiverType>(10));
  EXPECT_EQ(file.Archiver(), zip);
}

// ---- detection at packing -----------------------------------------------------------

TEST_F(ComponentTest, PackDetectsAnUndeterminedArchiveFromItsContent) {
  vxtest::TestLibraries libs(kAllLibraries);
  drive.WriteFile("arc.dat", "MSCF");
  arctest::ScriptResult("CAB32.DLL", "CabOpenArchive", 0x33);
  TArchiveFile file(nullptr);
  file.SetFileName("C:\\arc.dat");
  ASSERT_EQ(file.GetArchiverType(), atAutoDetect);
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", nullptr), 0);
  EXPECT_EQ(file.GetArchiverType(), atCab);
  EXPECT_EQ(BackEndClass(file), std::type_index(typeid(TCab32)));
  EXPECT_EQ(arctest::CallsOf("Cab").size(), 1u);
}

TEST_F(ComponentTest, PackKeepsTheBackEndWhenDetectionFindsNothing) {
  vxtest::TestLibraries libs(kAllLibraries);
  TArchiveFile file(nullptr);
  file.SetArchiverType(atLha);
  file.SetArchiverType(atAutoDetect);
  file.SetFileName("C:\\arc.dat");
  EXPECT_EQ(file.Pack(nullptr, nullptr, "", nullptr), 0);
  EXPECT_EQ(file.GetArchiverType(), atAutoDetect);
  EXPECT_EQ(arctest::CallsOf("Unlha").size(), 1u);
  EXPECT_EQ(arctest::CallsOf("TarGetArchiveType").size(), 1u);  // it did look
}

TEST_F(ComponentTest, PackOrMakeSfxWithoutBackEndRaisesAndRunsNoCommand) {
  vxtest::TestLibraries libs(kAllLibraries);
  TArchiveFile file(nullptr);
  file.SetOutputSize(16);
  EXPECT_EQ(ArchiverMessage([&] { file.Pack(nullptr, nullptr, "", nullptr); }), Sjis(kUndetermined));
  EXPECT_EQ(file.GetArchiverType(), atAutoDetect);
  for (const char* command : {"Unlha", "Unarj", "Unrar", "Cab", "Tar", "Zip", "UnZip"})
    EXPECT_TRUE(arctest::CallsOf(command).empty()) << command;
  arctest::Reset();
  // MakeSfx does not detect: no library is even asked.
  drive.WriteFile("arc.lzh.dat", "x");
  arctest::ScriptResult("UNLHA32.DLL", "UnlhaOpenArchive", 0x44);
  file.SetFileName("C:\\arc.lzh.dat");
  EXPECT_EQ(ArchiverMessage([&] { file.MakeSfx(nullptr, nullptr, ""); }), Sjis(kUndetermined));
  EXPECT_TRUE(arctest::Calls().empty());
}
