// Packs sample files through TArchiveFile: the archiver library found by the
// usual search (beside this program first) does the work. Prints, in UTF-8,
// the command line the back-end produced, the result code and the library's
// report.
//
//   vxdemo WORKDIR [ARCHIVE-NAME...]
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "archives/ArchiveFile.h"
#include "archives/Exceptions.h"
#include "platform/posix/vxposix.h"

namespace {

std::string Utf8(const std::string& cp932) {
  std::string out;
  return vxposix::Cp932ToUtf8(cp932, out) ? out : cp932;
}

std::string Sjis(const std::string& utf8) {
  std::string out;
  return vxposix::Utf8ToCp932(utf8, out) ? out : utf8;
}

void WriteSample(const std::string& dir, const std::string& name, const std::string& text) {
  std::ofstream(dir + "/" + name, std::ios::binary) << text;
}

int PackOne(const std::string& workWin, const std::string& archive) {
  vx::TArchiveFile arc(nullptr);
  arc.SetFileName(workWin + "\\" + Sjis(archive));
  arc.SetOutputSize(8192);
  arc.Options().x = 0;  // bare names: the files are given relative to the base folder
  const vx::TStringList files = {"readme.txt", "data.csv", Sjis("日本語.txt")};
  const int result = arc.Pack(nullptr, nullptr, workWin + "\\samples\\", &files);
  std::printf("== %s\ncommand line: %s\nresult: %d\n%s\n", archive.c_str(), Utf8(arc.CommandLine()).c_str(),
              result, Utf8(arc.GetOutput()).c_str());
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vxdemo WORKDIR [ARCHIVE-NAME...]\n");
    return 2;
  }
  const std::string work = argv[1];
  const std::string samples = work + "/samples";
  std::string cmd = "mkdir -p '" + samples + "'";
  if (std::system(cmd.c_str()) != 0) return 1;
  WriteSample(samples, "readme.txt", "VxArc packs files and attaches the archive to a message.\n");
  WriteSample(samples, "data.csv", "name,size\nreadme.txt,57\n");
  WriteSample(samples, "日本語.txt", "圧縮して添付\n");
  std::string workWin;
  if (!vxposix::ToWinPath(work, workWin)) return 1;
  int failures = 0;
  for (int i = 2; i < argc || i == 2; ++i) {
    const std::string archive = i < argc ? argv[i] : "samples.lzh";
    try {
      if (PackOne(workWin, archive) != 0) ++failures;
    } catch (const std::exception& e) {
      std::printf("== %s\nerror: %s\n", archive.c_str(), Utf8(e.what()).c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
