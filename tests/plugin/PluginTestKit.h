// The plug-in inside this test program, which stands in for the mail host:
// it exports the host API (vxhost's), so VxArc.dll binds to it when loaded.
// A test puts a copy of the module into a plug-in folder, chooses which
// archiver libraries the module finds, runs the compose command and
// answers the dialog from a script.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ComposeWindow.h"
#include "Host.h"
#include "PluginModule.h"
#include "forms/zipform.h"
#include "platform/posix/vxui.h"
#include "support/Scratch.h"

namespace plugintest {

// The folder of the built programs, the module and our libraries.
std::string BinDir();
// The Windows path of a POSIX path.
std::string WinPath(const std::string& posixPath);

// Our archiver libraries from bin/, linked into a folder at the front of
// PATH while the object lives.
class RealLibraries {
 public:
  explicit RealLibraries(const std::vector<std::string>& files);
  ~RealLibraries();
  RealLibraries(const RealLibraries&) = delete;
  RealLibraries& operator=(const RealLibraries&) = delete;
  // The four packing libraries and the unpacking one ZIP needs.
  static std::vector<std::string> AllPacking();
  static std::vector<std::string> AllBut(const std::string& file);

 private:
  vxtest::ScratchDir dir_;
  std::string oldPath_;
};

// Copies the module into a folder (made as needed) under a file name; the
// copy's POSIX path.
std::string CopyModule(const std::string& folder, const std::string& fileName = "VxArc.dll");

// Removes the dialog's window class once the module is gone. The class
// outlives an unloaded module in the window table, with a procedure that is
// gone, and a module loaded later could not register its own.
struct FormClassCleanup {
  ~FormClassCleanup();
};

// VxArc loaded into this program; unloading it also forgets its commands
// and, after the module, its dialog's window class.
class LoadedPlugin : private FormClassCleanup, public vxhost::PluginModule {
 public:
  explicit LoadedPlugin(const std::string& posixPath);
  ~LoadedPlugin();
};

// TMPDIR, the module's temporary folder, set while the object lives.
class TempFolder {
 public:
  explicit TempFolder(const std::string& posixDir);
  ~TempFolder();

 private:
  bool had_ = false;
  std::string old_;
};

// What the dialog showed when it opened.
struct DialogState {
  bool Lha = false, Zip = false, Cab = false, Tgz = false, Bz2 = false;
  bool Sfx = false, ShowResult = false;
  int ArchiveType = -1;
  int WarnSizeMB = -1;
  int Left = 0, Top = 0;
};

// The attachment dialog behind a window handle, and any form.
vx::TZipListForm& FormOf(HWND window);
vx::TForm& AnyFormOf(HWND window);
DialogState StateOf(const vx::TZipListForm& form);

// The plug-in's command in a compose window at (Left, Top): its menu is
// extended, the command chosen, and Dialog runs inside the dialog's modal
// loop (after the state it opened with was taken).
struct CommandRun {
  DialogState Opened;
  bool DialogShown = false;
  std::vector<vxhost::Attachment> Attachments;
};
CommandRun RunCommand(vxhost::PluginModule& Plugin, vxui::ScriptedBackend& Ui,
                      const std::function<void(vx::TZipListForm&)>& Dialog, int Left = 120, int Top = 80);

// Dialog actions, as a user does them.
void AddFiles(vxui::ScriptedBackend& Ui, vx::TZipListForm& form, const std::vector<std::string>& winPaths);
void Click(vx::TForm& form, vx::TControl* control);

}  // namespace plugintest
