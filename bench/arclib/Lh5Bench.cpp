// bench_lh5 [corpus directory] [dicBits [depth passes niceLength chunkBytes]]:
// packs every file of the corpus on
// its own through the -lh5- encoder (as UNLHA32.DLL does, a member stored
// when it does not shrink) and through zlib level 6 (gzip -6: plus 18 bytes
// of gzip header and trailer), and prints sizes per group and the
// encoder's speed in processor time. Without a directory the bench corpus
// is generated in a temporary folder first.
#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "Corpus.h"
#include "lh5_encoder.h"

namespace fs = std::filesystem;

namespace {

double CpuSeconds() {
  struct rusage u {};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Group {
  uint64_t files = 0, bytes = 0, ours = 0, gzip = 0, worse = 0;
  double oursCpu = 0, gzipCpu = 0;
};

void Print(const char* name, const Group& g) {
  const double mb = static_cast<double>(g.bytes) / (1 << 20);
  std::printf("%-12s %6llu %11llu %11llu %11llu %7.4f %6llu %8.1f %8.1f\n", name,
              static_cast<unsigned long long>(g.files), static_cast<unsigned long long>(g.bytes),
              static_cast<unsigned long long>(g.ours), static_cast<unsigned long long>(g.gzip),
              static_cast<double>(g.ours) / static_cast<double>(std::max<uint64_t>(g.gzip, 1)),
              static_cast<unsigned long long>(g.worse), mb / std::max(g.oursCpu, 1e-9),
              mb / std::max(g.gzipCpu, 1e-9));
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : "";
  const int dicBits = argc > 2 ? std::atoi(argv[2]) : 13;
  bool generated = false;
  if (dir.empty() || !fs::exists(dir)) {
    if (dir.empty()) dir = (fs::temp_directory_path() / "vxarc-lh5-corpus").string();
    std::printf("generating the corpus in %s ...\n", dir.c_str());
    bench::MakeCorpus(dir);
    generated = argc <= 1;
  }
  std::vector<fs::path> files;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (e.is_regular_file()) files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());

  lha::detail::Lh5Params params;
  if (argc > 6) {
    params.depth = std::atoi(argv[3]);
    params.passes = std::atoi(argv[4]);
    params.niceLength = std::atoi(argv[5]);
    params.chunkBytes = std::atoi(argv[6]);
  }
  lha::detail::Lh5Encoder encoder(params, dicBits);
  std::map<std::string, Group> groups;
  Group total;
  std::vector<uint8_t> zbuf;
  for (const fs::path& p : files) {
    std::ifstream in(p, std::ios::binary);
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), {});
    const std::string rel = fs::relative(p, dir).string();
    std::string key = rel.substr(0, rel.find('/'));
    if (key == "large") key = p.filename().string();
    Group& g = groups[key];

    double t = CpuSeconds();
    encoder.Reset();
    // Pieces as the archive writer hands them over.
    for (size_t at = 0; at < data.size(); at += 1 << 16) {
      encoder.Write(data.data() + at, std::min<size_t>(data.size() - at, 1 << 16));
    }
    encoder.Finish();
    const uint64_t ours = std::min<uint64_t>(encoder.Out().Bytes().size(), data.size());
    const double oursCpu = CpuSeconds() - t;

    t = CpuSeconds();
    uLongf zsize = compressBound(data.size());
    zbuf.resize(zsize);
    compress2(zbuf.data(), &zsize, data.data(), data.size(), 6);
    const uint64_t gzip = zsize - 6 + 18;
    const double gzipCpu = CpuSeconds() - t;

    for (Group* x : {&g, &total}) {
      ++x->files;
      x->bytes += data.size();
      x->ours += ours;
      x->gzip += gzip;
      x->worse += ours > gzip ? 1 : 0;
      x->oursCpu += oursCpu;
      x->gzipCpu += gzipCpu;
    }
  }
  std::printf("-lh%d- (window %d KiB) against zlib level 6 + 18 bytes, file by file\n",
              dicBits == 13 ? 5 : dicBits == 15 ? 6 : 7, (1 << dicBits) / 1024);
  std::printf("%-12s %6s %11s %11s %11s %7s %6s %8s %8s\n", "group", "files", "bytes", "ours", "gzip -6",
              "ratio", "worse", "MB/s", "gz MB/s");
  for (const auto& [name, g] : groups) Print(name.c_str(), g);
  Print("total", total);
  if (generated) fs::remove_all(dir);
  return 0;
}
