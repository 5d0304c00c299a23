#include "PluginTestKit.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/posix/vxposix.h"

namespace fs = std::filesystem;

namespace plugintest {

std::string BinDir() {
  const char* bin = std::getenv("VX_BIN");
  if (bin == nullptr) throw std::runtime_error("VX_BIN is not set");
  return bin;
}

std::string WinPath(const std::string& posixPath) {
  std::string win;
  if (!vxposix::ToWinPath(posixPath, win)) throw std::runtime_error("no drive holds " + posixPath);
  return win;
}

RealLibraries::RealLibraries(const std::vector<std::string>& files) {
  const char* old = std::getenv("PATH");
  oldPath_ = old != nullptr ? old : "";
  // Links: the library stays where it was built and finds its own
  // companions there.
  for (const std::string& file : files) fs::create_symlink(fs::path(BinDir()) / file, fs::path(dir_.Path()) / file);
  setenv("PATH", (dir_.Path() + ":" + oldPath_).c_str(), 1);
}

RealLibraries::~RealLibraries() { setenv("PATH", oldPath_.c_str(), 1); }

std::vector<std::string> RealLibraries::AllPacking() {
  return {"UNLHA32.DLL", "ZIP32J.DLL", "UNZIP32.DLL", "CAB32.DLL", "tar32.dll"};
}

std::vector<std::string> RealLibraries::AllBut(const std::string& file) {
  std::vector<std::string> files;
  for (const std::string& f : AllPacking())
    if (f != file) files.push_back(f);
  return files;
}

std::string CopyModule(const std::string& folder, const std::string& fileName) {
  fs::create_directories(folder);
  const fs::path target = fs::path(folder) / fileName;
  // A copy, not a link: the module's own path decides where its settings are.
  fs::copy_file(fs::path(BinDir()) / "VxArc.dll", target, fs::copy_options::overwrite_existing);
  return target.string();
}

LoadedPlugin::LoadedPlugin(const std::string& posixPath) : vxhost::PluginModule(WinPath(posixPath)) {}

LoadedPlugin::~LoadedPlugin() { vxhost::Host::Instance().ClearCommands(); }

FormClassCleanup::~FormClassCleanup() { UnregisterClassA("TVxForm", nullptr); }

TempFolder::TempFolder(const std::string& posixDir) {
  const char* old = std::getenv("TMPDIR");
  had_ = old != nullptr;
  if (had_) old_ = old;
  setenv("TMPDIR", posixDir.c_str(), 1);
}

TempFolder::~TempFolder() {
  if (had_)
    setenv("TMPDIR", old_.c_str(), 1);
  else
    unsetenv("TMPDIR");
}

vx::TZipListForm& FormOf(HWND window) {
  return *reinterpret_cast<vx::TZipListForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

vx::TForm& AnyFormOf(HWND window) {
  return *reinterpret_cast<vx::TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

DialogState StateOf(const vx::TZipListForm& form) {
  DialogState s;
  s.Lha = form.LhaRadioButton->Checked();
  s.Zip = form.ZipRadioButton->Checked();
  s.Cab = form.CabRadioButton->Checked();
  s.Tgz = form.TgzRadioButton->Checked();
  s.Bz2 = form.Bz2RadioButton->Checked();
  s.Sfx = form.SfxCheckBox->Checked();
  s.ShowResult = form.ShowResultCheckBox->Checked();
  s.ArchiveType = form.ArchiveType();
  s.WarnSizeMB = form.WarnSizeMB();
  s.Left = form.Left;
  s.Top = form.Top;
  return s;
}

CommandRun RunCommand(vxhost::PluginModule& Plugin, vxui::ScriptedBackend& Ui,
                      const std::function<void(vx::TZipListForm&)>& Dialog, int Left, int Top) {
  CommandRun run;
  vxhost::ComposeWindow compose(Left, Top, 640, 480);
  Plugin.OnMenuInit(compose.Handle(), compose.Menu(), VX_MENU_COMPOSE);
  const auto items = compose.CommandItems();
  if (items.empty()) {
    ADD_FAILURE() << "the plug-in put no command into the menu";
    return run;
  }
  Ui.AnswerModal([&](HWND window) {
    vx::TZipListForm& form = FormOf(window);
    run.DialogShown = true;
    run.Opened = StateOf(form);
    if (Dialog) Dialog(form);
  });
  vxhost::Host::Instance().Choose(compose, items.back().Id);
  run.Attachments = compose.Attachments();
  return run;
}

void AddFiles(vxui::ScriptedBackend& Ui, vx::TZipListForm& form, const std::vector<std::string>& winPaths) {
  Ui.AnswerOpen(winPaths);
  Click(form, form.AddButton);
}

void Click(vx::TForm& form, vx::TControl* control) { EXPECT_TRUE(form.UserClick(control)); }

}  // namespace plugintest
