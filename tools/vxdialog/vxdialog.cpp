// Runs the attachment dialog on the console: the dialog as text, one
// command a line from standard input, the archive built in the given
// temporary folder. What the dialog produced is printed at the end.
//
//   vxdialog TEMP-FOLDER [--type N] [--sfx] [--result] [--drive X=DIR]...
//
// --type, --sfx and --result preset the format (0 LHA, 1 ZIP, 2 CAB,
// 3 tar+gzip, 4 tar+bzip2), the self-extracting option and the result
// window, as the remembered settings would. --drive maps a drive letter
// to a folder (Z: is the root of the file system).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "forms/zipform.h"
#include "platform/posix/console/ConsoleView.h"
#include "platform/posix/vxposix.h"

namespace {

int Usage() {
  std::cerr << "usage: vxdialog TEMP-FOLDER [--type N] [--sfx] [--result] [--drive X=DIR]...\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  struct stat st;
  if (stat(argv[1], &st) != 0 || !S_ISDIR(st.st_mode)) {
    std::cerr << "vxdialog: not a folder: " << argv[1] << "\n";
    return 2;
  }
  int type = -1;
  bool sfx = false, result = false;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--type") == 0 && i + 1 < argc) type = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--sfx") == 0) sfx = true;
    else if (std::strcmp(argv[i], "--result") == 0) result = true;
    else if (std::strcmp(argv[i], "--drive") == 0 && i + 1 < argc && std::strlen(argv[i + 1]) > 2 &&
             argv[i + 1][1] == '=') {
      ++i;
      if (!vxposix::MapDrive(argv[i][0], argv[i] + 2)) {
        std::cerr << "vxdialog: cannot map " << argv[i] << "\n";
        return 2;
      }
    }
    else return Usage();
  }
  // The temporary folder of the platform layer.
  setenv("TMPDIR", argv[1], 1);

  vxconsole::ConsoleView view(std::cin, std::cout);
  view.SetEcho(isatty(STDIN_FILENO) == 0);
  int status = 0;
  try {
    vx::TZipListForm dialog(nullptr);
    dialog.SetArchiveType(type);
    dialog.SetIsSfx(sfx);
    dialog.ShowResultCheckBox->SetChecked(result);
    dialog.ShowModal();
    const std::string name = dialog.ZipFileName();
    std::string posix;
    if (name.empty()) {
      std::cout << "\nNo archive.\n";
    } else {
      const bool exists = GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
      std::cout << "\nArchive: " << (vxposix::ToPosixPath(name, posix) ? posix : vxui::ToTerminal(name))
                << (exists ? "" : " (no such file)") << "\nResult code: " << dialog.CompressResult() << "\n";
    }
  } catch (const std::exception& e) {
    std::cerr << "vxdialog: " << vxui::ToTerminal(e.what()) << "\n";
    status = 1;
  }
  return status;
}
