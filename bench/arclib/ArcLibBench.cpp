// bench_arclib [work directory]: generates the corpus, packs it with our
// ZIP, tar+gzip, tar+bzip2 and LHA libraries and with zip -6 -r, tar czf,
// tar cjf and gzip -6, and prints time and size ratios against the goals
// (time at most 1.2x, size at most 1.02x; LHA within 5% of gzip -6 per
// file at 20 MB/s or more).
#include <sys/resource.h>
#include <sys/wait.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// Processor time, this process's and its children's: the machine is
// shared, so wall-clock time says more about the neighbours than about us.
double CpuSeconds() {
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    struct rusage u {};
    getrusage(who, &u);
    total += static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
             static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  }
  return total;
}

struct Timing {
  double cpu = 0, wall = 0;
};

Timing Measure(const std::function<void()>& action) {
  const double cpu = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  action();
  return {CpuSeconds() - cpu, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
}

void Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
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

void Run(TArcCommandProc entry, const std::string& line) {
  std::vector<char> output(8192);
  const int code = entry(nullptr, line.c_str(), output.data(), static_cast<DWORD>(output.size()));
  if (code != 0) {
    std::fprintf(stderr, "library failed (%#x): %s\n%s\n", code, line.c_str(), output.data());
    std::exit(1);
  }
}

uint64_t Size(const fs::path& p) { return fs::file_size(p); }

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

struct Row {
  const char* name;
  Timing ours, reference;
  uint64_t oursSize, referenceSize;
};

}  // namespace

int main(int argc, char** argv) {
  const std::string work = argc > 1 ? argv[1] : (fs::temp_directory_path() / "vxarc-bench").string();
  fs::remove_all(work);
  fs::create_directories(work + "/out");
  std::printf("generating the corpus in %s ...\n", (work + "/corpus").c_str());
  const uint64_t bytes = bench::MakeCorpus(work + "/corpus");
  const double mb = static_cast<double>(bytes) / (1 << 20);
  std::printf("%.1f MB in %zu files\n\n", mb,
              static_cast<size_t>(std::distance(fs::recursive_directory_iterator(work + "/corpus"),
                                                fs::recursive_directory_iterator())));
  if (!vxposix::MapDrive('C', work)) return 1;
  Shell("sync");
  const std::string cd = "cd '" + work + "/corpus' && ";
  const std::string dirs = "small bin large";
  auto zip = Entry("ZIP32J.DLL", "Zip");
  auto tar = Entry("tar32.dll", "Tar");
  auto lha = Entry("UNLHA32.DLL", "Unlha");
  std::vector<Row> rows;
  const std::string names = "\"small\" \"bin\" \"large\" ";

  Row z{"ZIP (zip -6 -r)", {}, {}, 0, 0};
  z.ours = Measure([&] { Run(zip, " -r  \"C:\\out\\ours.zip\" \"C:\\corpus\\\" " + names); });
  z.reference = Measure([&] { Shell(cd + "zip -6 -r -q ../out/ref.zip " + dirs); });
  z.oursSize = Size(work + "/out/ours.zip");
  z.referenceSize = Size(work + "/out/ref.zip");
  rows.push_back(z);

  Row g{"tar+gzip (tar czf)", {}, {}, 0, 0};
  g.ours = Measure([&] { Run(tar, "c -z  -f \"C:\\out\\ours.tgz\" -o \"C:\\corpus\\\" " + names); });
  g.reference = Measure([&] { Shell(cd + "tar czf ../out/ref.tgz " + dirs); });
  g.oursSize = Size(work + "/out/ours.tgz");
  g.referenceSize = Size(work + "/out/ref.tgz");
  rows.push_back(g);

  Row b{"tar+bzip2 (tar cjf)", {}, {}, 0, 0};
  b.ours = Measure([&] { Run(tar, "c -B  -f \"C:\\out\\ours.tbz\" -o \"C:\\corpus\\\" " + names); });
  b.reference = Measure([&] { Shell(cd + "tar cjf ../out/ref.tbz " + dirs); });
  b.oursSize = Size(work + "/out/ours.tbz");
  b.referenceSize = Size(work + "/out/ref.tbz");
  rows.push_back(b);

  Row l{"LHA (gzip -6 per file)", {}, {}, 0, 0};
  l.ours = Measure([&] { Run(lha, "a -+ -x1  \"C:\\out\\ours.lzh\" \"C:\\corpus\\\" " + names); });
  l.reference = Measure([&] { l.referenceSize = GzipPerFile(work + "/corpus"); });
  l.oursSize = Size(work + "/out/ours.lzh");

  std::printf("%-24s %15s %15s %13s %12s %12s %7s\n", "format (reference)", "ours cpu/wall s", "ref cpu/wall s",
              "time x (cpu)", "ours bytes", "ref bytes", "size x");
  bool ok = true;
  for (const Row& r : rows) {
    const double t = r.ours.cpu / r.reference.cpu, w = r.ours.wall / r.reference.wall;
    const double s = static_cast<double>(r.oursSize) / static_cast<double>(r.referenceSize);
    const bool met = t <= 1.2 && s <= 1.02;
    ok = ok && met;
    std::printf("%-24s %7.2f/%7.2f %7.2f/%7.2f %5.2f (%5.2f) %12llu %12llu %7.3f  %s\n", r.name, r.ours.cpu,
                r.ours.wall, r.reference.cpu, r.reference.wall, t, w, static_cast<unsigned long long>(r.oursSize),
                static_cast<unsigned long long>(r.referenceSize), s, met ? "goal met" : "GOAL MISSED");
  }
  const double lhaRatio = static_cast<double>(l.oursSize) / static_cast<double>(l.referenceSize);
  const double lhaSpeed = mb / l.ours.cpu;
  const bool lhaMet = lhaRatio <= 1.05 && lhaSpeed >= 20.0;
  std::printf("%-24s %7.2f/%7.2f %7.2f/%7.2f %13s %12llu %12llu %7.3f  %.1f MB/s cpu (%.1f wall)  %s\n", l.name,
              l.ours.cpu, l.ours.wall, l.reference.cpu, l.reference.wall, "-",
              static_cast<unsigned long long>(l.oursSize), static_cast<unsigned long long>(l.referenceSize), lhaRatio,
              lhaSpeed, mb / l.ours.wall, lhaMet ? "goal met" : "GOAL MISSED");
  std::printf("LHA against tar czf: size x %.3f\n",
              static_cast<double>(l.oursSize) / static_cast<double>(g.referenceSize));
  vxposix::UnmapDrive('C');
  if (argc <= 1) fs::remove_all(work);
  return ok && lhaMet ? 0 : 2;
}
