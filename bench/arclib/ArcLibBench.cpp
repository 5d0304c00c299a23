// bench_arclib [--small] [--only zip|gzip|bzip2|lha|cab] [work directory]:
// generates the corpus (with --small only the 100 MB part, without the
// 10,000-file folder), packs it
// with our ZIP, tar+gzip, tar+bzip2, LHA and CAB libraries and with the
// tools each is measured against, and prints our size and time as ratios
// to theirs, with the goal beside each ratio. Times are wall-clock (what a
// user waits for; our libraries use every core), processor time beside.
// Exits 2 when a goal is missed.
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Corpus.h"
#include "archives/ArchiverDll.h"
#include "platform/posix/vxposix.h"
#include "platform/win32api.h"

namespace fs = std::filesystem;

namespace {

struct Timing {
  double cpu = 0, wall = 0;
  long peakMiB = 0;  // of our library's run (in a child of its own)
};

double Seconds(const struct timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A tool through the shell: its processor time is the children's.
Timing Shell(const std::string& command) {
  struct rusage before {}, after {};
  getrusage(RUSAGE_CHILDREN, &before);
  const double start = Now();
  const int status = std::system(command.c_str());
  const double wall = Now() - start;
  getrusage(RUSAGE_CHILDREN, &after);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
  return {Seconds(after.ru_utime) + Seconds(after.ru_stime) - Seconds(before.ru_utime) - Seconds(before.ru_stime),
          wall, 0};
}

TArcCommandProc Entry(const char* library, const char* entry) {
  HMODULE module = LoadLibraryA(library);
  FARPROC p = module ? GetProcAddress(module, entry) : nullptr;
  if (p == nullptr) {
    std::fprintf(stderr, "cannot load %s!%s\n", library, entry);
    std::exit(1);
  }
  return reinterpret_cast<TArcCommandProc>(reinterpret_cast<void (*)()>(p));
}

// One of our libraries' commands, run in a child process so that its
// processor time (all its threads) and peak memory are its own.
Timing Ours(TArcCommandProc entry, const std::string& line) {
  std::fflush(nullptr);  // or the child writes our buffered lines again
  const double start = Now();
  const pid_t child = fork();
  if (child < 0) std::exit(1);
  if (child == 0) {
    std::vector<char> output(8192);
    const int code = entry(nullptr, line.c_str(), output.data(), static_cast<DWORD>(output.size()));
    if (code != 0) std::fprintf(stderr, "library failed (%#x): %s\n%s\n", code, line.c_str(), output.data());
    std::fflush(nullptr);
    _exit(code != 0 ? 1 : 0);
  }
  int status = 0;
  struct rusage use {};
  if (wait4(child, &status, 0, &use) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) std::exit(1);
  return {Seconds(use.ru_utime) + Seconds(use.ru_stime), Now() - start, use.ru_maxrss / 1024};
}

uint64_t Size(const std::string& p) { return fs::file_size(p); }

// The sizes gzip -6 gives each file on its own (zlib level 6 plus the
// 18 bytes of a gzip header and trailer).
uint64_t GzipPerFile(const std::string& dir) {
  uint64_t total = 0;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    std::ifstream in(e.path(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    const std::string data = s.str();
    uLongf size = compressBound(data.size());
    std::vector<Bytef> out(size);
    compress2(out.data(), &size, reinterpret_cast<const Bytef*>(data.data()), data.size(), 6);
    total += size - 6 + 18;  // zlib's 2-byte header and 4-byte check replaced by gzip's 18 bytes
  }
  return total;
}

enum class Measure { Size, Time };

struct Row {
  std::string format, anchor;
  Measure measure;
  double goal;  // the ratio ours/anchor may reach
  uint64_t oursSize, anchorSize;
  Timing ours, anchorTime;
  double Ratio() const {
    return measure == Measure::Size ? static_cast<double>(oursSize) / static_cast<double>(anchorSize)
                                    : ours.wall / anchorTime.wall;
  }
};

}  // namespace

int main(int argc, char** argv) {
  bool small = false;
  std::string work = (fs::temp_directory_path() / "vxarc-bench").string();
  bool keep = false;
  std::string only;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--small") == 0) {
      small = true;
    } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
      only = argv[++i];
    } else {
      work = argv[i];
      keep = true;
    }
  }
  fs::remove_all(work);
  fs::create_directories(work + "/out");
  const std::string corpus = work + "/corpus";
  std::printf("generating the corpus in %s ...\n", corpus.c_str());
  uint64_t bytes = bench::MakeCorpus(corpus);
  if (!small) bytes += bench::MakeFolder(corpus);
  const double mb = static_cast<double>(bytes) / 1e6;
  std::printf("%.1f MB in %zu files, %u cores\n\n", mb,
              static_cast<size_t>(std::distance(fs::recursive_directory_iterator(corpus),
                                                fs::recursive_directory_iterator())),
              std::max(1u, static_cast<unsigned>(sysconf(_SC_NPROCESSORS_ONLN))));
  if (!vxposix::MapDrive('C', work)) return 1;
  std::system("sync");
  const std::string dirs = small ? "small bin large" : "small bin large folder";
  std::string names;
  for (const char* d : {"small", "bin", "large", "folder"})
    if (!small || std::strcmp(d, "folder") != 0) names += std::string("\"") + d + "\" ";
  const std::string cd = "cd '" + corpus + "' && ";
  const std::string out = work + "/out/";
  auto zip = Entry("ZIP32J.DLL", "Zip");
  auto tar = Entry("tar32.dll", "Tar");
  auto lha = Entry("UNLHA32.DLL", "Unlha");
  auto cab = Entry("CAB32.DLL", "Cab");
  std::vector<Row> rows;

  const auto want = [&](const char* format) { return only.empty() || only == format; };
  if (want("zip")) {
    const Timing zipOurs = Ours(zip, " -r  \"C:\\out\\ours.zip\" \"C:\\corpus\\\" " + names);
    const Timing zip7 = Shell(cd + "7zz a -tzip -mx5 -bd ../out/7z.zip " + dirs + " > /dev/null");
    const Timing zip6 = Shell(cd + "zip -6 -r -q ../out/zip6.zip " + dirs);
    rows.push_back({"ZIP", "7zz a -tzip -mx5", Measure::Size, 1.0, Size(out + "ours.zip"), Size(out + "7z.zip"), zipOurs, zip7});
    rows.push_back({"ZIP", "zip -r -6", Measure::Time, 1.0, Size(out + "ours.zip"), Size(out + "zip6.zip"), zipOurs, zip6});
  }
  if (want("gzip")) {
    Ours(tar, "c -f \"C:\\out\\ours.tar\" -o \"C:\\corpus\\\" " + names);
    const Timing gzOurs = Ours(tar, "c -z  -f \"C:\\out\\ours.tgz\" -o \"C:\\corpus\\\" " + names);
    const Timing gz9 = Shell("gzip -9 -c '" + out + "ours.tar' > '" + out + "ours.tar.gz'");
    const Timing czf = Shell(cd + "tar czf ../out/czf.tgz " + dirs);
    rows.push_back({"tar+gzip", "gzip -9 (our tar)", Measure::Size, 1.0, Size(out + "ours.tgz"), Size(out + "ours.tar.gz"), gzOurs, gz9});
    rows.push_back({"tar+gzip", "tar czf", Measure::Time, 0.6, Size(out + "ours.tgz"), Size(out + "czf.tgz"), gzOurs, czf});
  }
  if (want("bzip2")) {
    const Timing bzOurs = Ours(tar, "c -B  -f \"C:\\out\\ours.tbz\" -o \"C:\\corpus\\\" " + names);
    const Timing cjf = Shell(cd + "tar cjf ../out/cjf.tbz " + dirs);
    rows.push_back({"tar+bzip2", "tar cjf", Measure::Size, 1.0, Size(out + "ours.tbz"), Size(out + "cjf.tbz"), bzOurs, cjf});
    rows.push_back({"tar+bzip2", "tar cjf", Measure::Time, 0.6, Size(out + "ours.tbz"), Size(out + "cjf.tbz"), bzOurs, cjf});
  }
  Timing lhaOurs{};
  if (want("lha")) {
    lhaOurs = Ours(lha, "a -+ -x1  \"C:\\out\\ours.lzh\" \"C:\\corpus\\\" " + names);
    Timing gz6{};
    uint64_t gz6Size = 0;
    {
      const double start = Now();
      struct rusage before {}, after {};
      getrusage(RUSAGE_SELF, &before);
      gz6Size = GzipPerFile(corpus);
      getrusage(RUSAGE_SELF, &after);
      gz6 = {Seconds(after.ru_utime) + Seconds(after.ru_stime) - Seconds(before.ru_utime) - Seconds(before.ru_stime),
             Now() - start, 0};
  }
  rows.push_back({"LHA -lh5-", "gzip -6 per file", Measure::Size, 1.0, Size(out + "ours.lzh"), gz6Size, lhaOurs, gz6});
  }
  if (want("cab")) {
    const Timing cabOurs = Ours(cab, "-a -r  \"C:\\out\\ours.cab\" \"C:\\corpus\\\" " + names);
    const Timing gcab = Shell(cd + "gcab -c -z ../out/gcab.cab $(find " + dirs + " -type f | sort) > /dev/null");
    rows.push_back({"CAB (MSZIP)", "gcab -z", Measure::Size, 1.0, Size(out + "ours.cab"), Size(out + "gcab.cab"), cabOurs, gcab});
  }

  std::printf("%-12s %-18s %5s %13s %13s %15s %15s %7s %6s %7s  %s\n", "format", "measured against", "what",
              "ours bytes", "their bytes", "ours wall/cpu", "theirs wall/cpu", "peak MB", "ratio", "goal", "");
  bool ok = true;
  for (const Row& r : rows) {
    const double ratio = r.Ratio();
    const bool met = ratio <= r.goal;
    ok = ok && met;
    std::printf("%-12s %-18s %5s %13llu %13llu %7.2f/%7.2f %7.2f/%7.2f %7ld %6.3f %s%5.2f  %s\n", r.format.c_str(),
                r.anchor.c_str(), r.measure == Measure::Size ? "size" : "time",
                static_cast<unsigned long long>(r.oursSize), static_cast<unsigned long long>(r.anchorSize),
                r.ours.wall, r.ours.cpu, r.anchorTime.wall, r.anchorTime.cpu, r.ours.peakMiB, ratio, "<=", r.goal,
                met ? "met" : "MISSED");
  }
  if (want("lha")) {
    const double lhaSpeed = mb / lhaOurs.cpu;
    const bool lhaFast = lhaSpeed >= 10.0;
    ok = ok && lhaFast;
    std::printf("%-12s %-18s %5s %13s %13s %7.2f/%7.2f %15s %7ld %6.1f %s%5.1f  %s  (MB/s of processor time)\n",
                "LHA -lh5-", "speed", "MB/s", "", "", lhaOurs.wall, lhaOurs.cpu, "", lhaOurs.peakMiB, lhaSpeed, ">=",
                10.0, lhaFast ? "met" : "MISSED");
  }
  bool bounded = true;
  for (const Row& r : rows) bounded = bounded && r.ours.peakMiB < 256;
  std::printf("\npeak memory of every packing run under 256 MiB: %s\n", bounded ? "met" : "MISSED");
  vxposix::UnmapDrive('C');
  if (!keep) fs::remove_all(work);
  return ok && bounded ? 0 : 2;
}
