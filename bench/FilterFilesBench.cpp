// FilterFiles over a generated tree of 100,000 files in nested folders,
// timed against `find DIR -type f` on the same tree, in one run.
//
//   bench_filter_files [files] [keep]
//   bench_filter_files --tree DIR      (times an existing tree, e.g. for a profiler)
//
// The tree is made in a fresh folder under $TMPDIR (or /tmp), mapped as
// drive B:, and removed afterwards unless "keep" is given.
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archives/ArchiverOptions.h"
#include "archives/Filters.h"
#include "platform/posix/vxposix.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// 10 x 10 x 10 leaf folders below three levels of folders that hold a few
// files of their own; the rest of the files spread over the leaves.
int MakeTree(const std::string& root, int files) {
  int made = 0;
  auto write = [&](const fs::path& dir, int n) {
    for (int i = 0; i < n && made < files; ++i, ++made)
      std::ofstream(dir / ("File" + std::to_string(made) + ".txt")) << 'x';
  };
  const int perLeaf = (files - 1110) / 1000;
  for (int a = 0; a < 10; ++a) {
    const fs::path da = fs::path(root) / ("Dir" + std::to_string(a));
    fs::create_directories(da);
    write(da, 10);
    for (int b = 0; b < 10; ++b) {
      const fs::path db = da / ("Sub" + std::to_string(b));
      fs::create_directories(db);
      write(db, 10);
      for (int c = 0; c < 10; ++c) {
        const fs::path dc = db / ("Leaf" + std::to_string(c));
        fs::create_directories(dc);
        write(dc, 1 + perLeaf);
      }
    }
  }
  write(fs::path(root), files - made);  // whatever is left lies at the top
  return made;
}

// The platform's directory search alone, one listing per folder: the floor
// under any walk built on it.
std::size_t SearchOnly(const std::string& dir) {
  std::size_t files = 0;
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA((dir + "\\*.*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return 0;
  std::vector<std::string> subdirectories;
  do {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      ++files;
    else if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0)
      subdirectories.push_back(dir + "\\" + data.cFileName);
  } while (FindNextFileA(h, &data));
  FindClose(h);
  for (const std::string& sub : subdirectories) files += SearchOnly(sub);
  return files;
}

// Wall time and processor time (user + system, of this process and of the
// children it waited for); processor time is steadier on a busy machine.
struct Timing {
  double wall = 1e9;
  double cpu = 1e9;
};

double CpuSeconds() {
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    struct rusage usage;
    getrusage(who, &usage);
    total += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
             static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  return total;
}

// The best of several runs.
template <typename F>
Timing Best(int runs, F f) {
  Timing best;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    const double cpuStart = CpuSeconds();
    f();
    best.cpu = std::min(best.cpu, CpuSeconds() - cpuStart);
    best.wall = std::min(best.wall, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const bool given = argc > 2 && std::string(argv[1]) == "--tree";
  int files = argc > 1 && !given ? std::atoi(argv[1]) : 100000;
  const bool keep = given || (argc > 2 && std::string(argv[2]) == "keep");
  std::string root;
  if (given) {
    root = argv[2];
    files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) files += entry.is_regular_file();
  } else {
    const char* tmp = std::getenv("TMPDIR");
    root = std::string(tmp && *tmp ? tmp : "/tmp") + "/vxbench-XXXXXX";
    if (mkdtemp(root.data()) == nullptr) return 1;
    MakeTree(root, files);
  }
  std::printf("tree: %d files in %s\n", files, root.c_str());
  if (!vxposix::MapDrive('B', root)) return 1;

  constexpr int kRuns = 5;
  std::size_t listed = 0;
  const Timing filter = Best(kRuns, [&] {
    vx::TArchiverOptions options;
    options.r = 2;
    const vx::TStringList entries{"B:\\"};
    listed = vx::FilterFiles(options, &entries).size();
  });
  std::size_t searched = 0;
  const Timing search = Best(kRuns, [&] { searched = SearchOnly("B:"); });
  const std::string command = "find '" + root + "' -type f > /dev/null";
  int findStatus = 0;
  const Timing find = Best(kRuns, [&] { findStatus = std::system(command.c_str()); });

  std::printf("best of %d runs               wall      processor\n", kRuns);
  std::printf("FilterFiles r=2 (%zu files)  %.3f s   %.3f s\n", listed, filter.wall, filter.cpu);
  std::printf("FindFirstFileA walk (%zu)    %.3f s   %.3f s\n", searched, search.wall, search.cpu);
  std::printf("find -type f (exit %d)           %.3f s   %.3f s\n", findStatus, find.wall, find.cpu);
  std::printf("ratio FilterFiles / find         %.2f      %.2f\n", filter.wall / find.wall,
              filter.cpu / find.cpu);
  std::printf("ratio FindFirstFileA walk / find %.2f      %.2f\n", search.wall / find.wall,
              search.cpu / find.cpu);

  vxposix::UnmapDrive('B');
  if (!keep) fs::remove_all(root);
  return listed == static_cast<std::size_t>(files) ? 0 : 2;
}
