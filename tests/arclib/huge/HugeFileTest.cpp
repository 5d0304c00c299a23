// Files of more than 4 GiB: packed by our libraries, checked by the
// reference readers and by our own (extracted, compared, listed with their
// 64-bit sizes); and the formats or switches that cannot hold such a file
// refuse it before anything is compressed. The input is a sparse file of
// zeros with a little data, so it costs no disk; the archives and one
// extracted copy at a time do.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "arclib/ArcTestKit.h"
#include "lha.h"

namespace fs = std::filesystem;
using arctest::Call;
using arctest::Sh;
using arctest::Tool;

namespace {

constexpr uint64_t kHugeSize = 4'600'000'123;
constexpr uint64_t kGiB = uint64_t{1} << 30;

// Data among the zeros: at the start, across the 4 GiB line and at the end,
// where a size or offset cut to 32 bits would lose or move it.
struct Mark {
  uint64_t at;
  std::string text;
};
const Mark kMarks[] = {{0, "the start"}, {(uint64_t{1} << 32) - 4, "across 4 GiB"}, {kHugeSize - 8, "the end."}};

// Makes a sparse file of `size` bytes with the marks that fall inside it;
// an error text, or empty.
std::string MakeSparse(const std::string& path, uint64_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return "cannot create " + path;
  bool ok = ftruncate(fd, static_cast<off_t>(size)) == 0;
  for (const Mark& m : kMarks)
    if (ok && m.at + m.text.size() <= size)
      ok = pwrite(fd, m.text.data(), m.text.size(), static_cast<off_t>(m.at)) == static_cast<ssize_t>(m.text.size());
  struct stat st;
  ok = ok && fstat(fd, &st) == 0;
  close(fd);
  if (!ok) return "cannot write " + path;
  // A file system without holes would have stored every zero.
  if (static_cast<uint64_t>(st.st_blocks) * 512 > 64 * 1024 * 1024)
    return "the file system of " + path + " has no sparse files (a test file would take " + std::to_string(size) +
           " bytes)";
  return {};
}

uint64_t FreeBytes(const std::string& dir) {
  struct statvfs s;
  return statvfs(dir.c_str(), &s) == 0 ? static_cast<uint64_t>(s.f_bavail) * s.f_frsize : 0;
}

// The owner window set for a library while it lives.
class Owner {
 public:
  Owner(const arctest::RealLibrary& lib, const std::string& prefix, HWND window)
      : kill_(lib.Entry<TArcKillOwnerWindowExProc>((prefix + "KillOwnerWindowEx").c_str())), window_(window) {
    lib.Entry<TArcSetOwnerWindowExProc>((prefix + "SetOwnerWindowEx").c_str())(window, nullptr);
  }
  ~Owner() { kill_(window_); }
  Owner(const Owner&) = delete;
  Owner& operator=(const Owner&) = delete;

 private:
  TArcKillOwnerWindowExProc kill_;
  HWND window_;
};

// C:\src\huge.bin, a sparse file over 4 GiB; C:\out for archives.
class HugeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(P("src"));
    fs::create_directories(P("out"));
    const std::string error = MakeSparse(P("src/huge.bin"), kHugeSize);
    if (!error.empty()) GTEST_SKIP() << error;
  }
  std::string P(const std::string& relative) const { return drive.Path() + "/" + relative; }
  // Skips unless the scratch folder has room for what the test writes.
  bool Room(uint64_t bytes) const { return FreeBytes(drive.Path()) >= bytes; }

  vxtest::DriveC drive;
};

// ---- packed, then read back by every reader ---------------------------------

struct FormatCase {
  const char* name;
  const char* packer;     // library and command entry that pack
  const char* packEntry;
  const char* packLine;
  const char* reader;     // library and entry prefix that read
  const char* prefix;
  const char* extractLine;
  const char* archive;    // below C:\out
  // Reference readers: shell commands with %a for the archive and %s for
  // the source file; each must end with status 0.
  std::vector<std::string> references;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

std::string Fill(std::string command, const std::string& archive, const std::string& source) {
  for (size_t at; (at = command.find("%a")) != std::string::npos;) command.replace(at, 2, Sh(archive));
  for (size_t at; (at = command.find("%s")) != std::string::npos;) command.replace(at, 2, Sh(source));
  return "bash -o pipefail -c " + Sh(command);
}

// Prints how long each stage took, for whoever weighs what the test costs.
class Stages {
 public:
  void Done(const char* stage) {
    const auto now = std::chrono::steady_clock::now();
    std::printf("[ stage    ] %s: %.1f s\n", stage, std::chrono::duration<double>(now - last_).count());
    std::fflush(stdout);
    last_ = now;
  }

 private:
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

class HugeFormats : public HugeFile, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(HugeFormats, PackedArchivePassesEveryReader) {
  const FormatCase& c = GetParam();
  // The archives of zeros are small; our extraction writes the whole file.
  if (!Room(kHugeSize + kGiB)) GTEST_SKIP() << "less than " << (kHugeSize + kGiB) << " bytes free in " << drive.Path();
  Stages stages;
  const arctest::RealLibrary packer{c.packer};
  const auto pack = Call(packer.Entry<TArcCommandProc>(c.packEntry), c.packLine);
  ASSERT_EQ(pack.code, 0) << pack.output;
  stages.Done("packed");
  const std::string archive = P(std::string("out/") + c.archive);

  for (const std::string& command : c.references) {
    const auto r = Tool(Fill(command, archive, P("src/huge.bin")));
    EXPECT_EQ(r.status, 0) << command << "\n" << r.output;
    stages.Done(command.c_str());
  }

  const arctest::RealLibrary reader{c.reader};
  const std::string prefix = c.prefix;
  const std::string winArchive = std::string("C:\\out\\") + c.archive;
  EXPECT_TRUE(reader.Entry<TArcCheckArchiveProc>((prefix + "CheckArchive").c_str())(winArchive.c_str(), 0));
  // The record's 32-bit field says "4 GiB or more"; the 64-bit entry the size.
  HARC h = reader.Entry<TArcOpenArchiveProc>((prefix + "OpenArchive").c_str())(nullptr, winArchive.c_str(), 0);
  ASSERT_NE(h, nullptr);
  INDIVIDUALINFO info{};
  EXPECT_EQ(reader.Entry<TArcFindFirstProc>((prefix + "FindFirst").c_str())(h, "*", &info), 0);
  EXPECT_EQ(info.dwOriginalSize, 0xFFFFFFFFu);
  using SizeEx = BOOL(WINAPI*)(HARC, int64_t*);
  int64_t size = 0;
  EXPECT_TRUE(reader.Entry<SizeEx>((prefix + "GetOriginalSizeEx").c_str())(h, &size));
  EXPECT_EQ(size, static_cast<int64_t>(kHugeSize));
  EXPECT_EQ(reader.Entry<TArcCloseArchiveProc>((prefix + "CloseArchive").c_str())(h), 0);
  stages.Done("checked and listed by ours");

  // Extracted by our reader (CRC checked there), then compared.
  const auto x = Call(reader.Entry<TArcCommandProc>(c.prefix), c.extractLine);
  EXPECT_EQ(x.code, 0) << x.output;
  stages.Done("extracted by ours");
  const auto cmp = Tool("cmp " + Sh(P("x/huge.bin")) + " " + Sh(P("src/huge.bin")));
  EXPECT_EQ(cmp.status, 0) << cmp.output;
  fs::remove(P("x/huge.bin"));
  stages.Done("compared");
}

INSTANTIATE_TEST_SUITE_P(
    Formats, HugeFormats,
    ::testing::Values(
        FormatCase{"zip", "ZIP32J.DLL", "Zip", " -D  \"C:\\out\\a.zip\" \"C:\\src\\\" \"huge.bin\" ", "UNZIP32.DLL",
                   "UnZip", "-x -o  \"C:\\out\\a.zip\" \"C:\\x\\\" ", "a.zip",
                   {"unzip -tq %a", "7zz t -bso0 %a"}},
        FormatCase{"tar_gzip", "tar32.dll", "Tar", "c -z  -f \"C:\\out\\a.tgz\" -o \"C:\\src\\\" \"huge.bin\" ",
                   "tar32.dll", "Tar", "x -f \"C:\\out\\a.tgz\" -o \"C:\\x\\\" ", "a.tgz",
                   {"tar -xzvvOf %a --index-file=%a.list huge.bin | cmp - %s && grep -q ' 4600000123 .*huge.bin' %a.list"}},
        FormatCase{"tar_bzip2", "tar32.dll", "Tar", "c -B  -f \"C:\\out\\a.tbz\" -o \"C:\\src\\\" \"huge.bin\" ",
                   "tar32.dll", "Tar", "x -f \"C:\\out\\a.tbz\" -o \"C:\\x\\\" ", "a.tbz",
                   {"tar -xjvvOf %a --index-file=%a.list huge.bin | cmp - %s && grep -q ' 4600000123 .*huge.bin' %a.list"}}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

// ---- refused before any work --------------------------------------------------

struct RefusalCase {
  const char* name;
  const char* library;
  const char* prefix;
  const char* line;
  const char* reason;  // in the report
  const char* named;   // the member or archive the report names
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class HugeRefusals : public HugeFile, public ::testing::WithParamInterface<RefusalCase> {};

// The refusal comes while the file list is read: no member is begun (the
// owner window hears of none) and nothing is left in the output folder.
TEST_P(HugeRefusals, RefusedBeforeAnythingIsCompressed) {
  const RefusalCase& c = GetParam();
  // Each under 2 GiB, together past what a stored cabinet holds.
  for (const char* part : {"part1.bin", "part2.bin", "part3.bin"}) {
    const std::string error = MakeSparse(P(std::string("src/") + part), 2'000'000'000);
    if (!error.empty()) GTEST_SKIP() << error;
  }
  const arctest::RealLibrary lib{c.library};
  arctest::ProgressWindow window;
  arctest::CommandResult r;
  {
    const Owner owner(lib, c.prefix, window.Handle());
    r = Call(lib.Entry<TArcCommandProc>(c.prefix), c.line);
  }
  EXPECT_EQ(r.code, ARCERR_NOT_SUPPORT) << r.output;
  EXPECT_NE(r.output.find(c.reason), std::string::npos) << r.output;
  EXPECT_NE(r.output.find(c.named), std::string::npos) << r.output;
  EXPECT_EQ(std::count(window.States().begin(), window.States().end(), static_cast<WPARAM>(ARCEXTRACT_BEGIN)), 0);
  EXPECT_EQ(arctest::ListDir(P("out")), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, HugeRefusals,
    ::testing::Values(
        RefusalCase{"cab", "CAB32.DLL", "Cab", "-a  \"C:\\out\\a.cab\" \"C:\\src\\part1.bin\" \"C:\\src\\huge.bin\" ",
                    "too large for a cabinet", "huge.bin"},
        RefusalCase{"cab_stored_total", "CAB32.DLL", "Cab",
                    "-a -mn  \"C:\\out\\a.cab\" \"C:\\src\\part1.bin\" \"C:\\src\\part2.bin\" \"C:\\src\\part3.bin\" ",
                    "too large for a cabinet", "a.cab"},
        // lhasa and 7-Zip would read a 64-bit size header short.
        RefusalCase{"lha", "UNLHA32.DLL", "Unlha", "a -+  \"C:\\out\\a.lzh\" \"C:\\src\\\" \"part1.bin\" \"huge.bin\" ",
                    "a file of 4 GiB or more, which other LHA readers would unpack short", "huge.bin"},
        RefusalCase{"lha_h0", "UNLHA32.DLL", "Unlha", "a -+ -h0  \"C:\\out\\a.lzh\" \"C:\\src\\\" \"part1.bin\" \"huge.bin\" ",
                    "a file of 4 GiB or more does not fit a level-0 header (-h0)", "huge.bin"},
        RefusalCase{"lha_h1", "UNLHA32.DLL", "Unlha", "a -+ -h1  \"C:\\out\\a.lzh\" \"C:\\src\\\" \"part1.bin\" \"huge.bin\" ",
                    "a file of 4 GiB or more does not fit a level-1 header (-h1)", "huge.bin"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

// ---- the LHA writer's own guard -------------------------------------------------

// Zeros without end: a file that grows while it is read.
class Zeros : public lha::ByteSource {
 public:
  explicit Zeros(uint64_t size) : size_(size) {}
  std::ptrdiff_t Read(uint8_t* data, size_t size) override {
    const auto n = static_cast<size_t>(std::min<uint64_t>(size, size_ - pos_));
    std::fill_n(data, n, 0);
    pos_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }
  bool Seek(uint64_t offset) override {
    pos_ = offset;
    return offset <= size_;
  }

 private:
  uint64_t size_, pos_ = 0;
};

// Counts what is written and keeps none of it.
class Counter : public lha::ByteSink {
 public:
  bool Write(const uint8_t*, size_t size) override {
    pos_ += size;
    end_ = std::max(end_, pos_);
    return true;
  }
  bool Seek(uint64_t offset) override {
    pos_ = offset;
    return true;
  }
  uint64_t End() const { return end_; }

 private:
  uint64_t pos_ = 0, end_ = 0;
};

// A member listed as small whose data runs past 4 GiB: its header was
// written without 64-bit sizes, so it is refused rather than recorded with
// a size cut to 32 bits.
TEST(HugeLhaWriter, MemberGrowingPast4GiBIsRefusedNotMisrecorded) {
  Counter sink;
  lha::WriterOptions options;
  options.storeOnly = true;  // the same guard as compression, at the speed of a copy
  lha::LhaWriter writer(sink, options);
  Zeros data((uint64_t{1} << 32) + 1);
  lha::MemberInfo info{"grown.bin", false, 0, 0x20};
  info.expectedSize = 1000;
  EXPECT_EQ(writer.AddMember(info, data), lha::Result::TooLarge);
  EXPECT_EQ(writer.Finish(), lha::Result::BadState);
}

}  // namespace
