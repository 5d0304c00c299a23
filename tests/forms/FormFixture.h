// The fixture of the dialog tests: a scripted user interface, drive C: on a
// scratch folder with the temporary folder at C:\temp, the archiver test
// libraries a test chooses, and every library family unloaded afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archivers/ARJ32.h"
#include "archivers/CAB32.h"
#include "archivers/LHA32.h"
#include "archivers/RAR32.h"
#include "archivers/TAR32.h"
#include "archivers/ZIP32.h"
#include "forms/resultfm.h"
#include "forms/zipform.h"
#include "platform/posix/vxui.h"
#include "recorder/ArcRecorder.h"
#include "support/Cp932.h"
#include "support/Scratch.h"

namespace formtest {

using vxtest::Sjis;

// Test libraries by the packing library they stand for.
inline const std::vector<std::string> kAllPacking = {"full/UNLHA32.DLL", "full/ZIP32J.DLL",
                                                     "full/CAB32.DLL", "full/tar32.dll"};

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    arctest::Reset();
    vxposix::ClearForegroundLog();
    const char* old = std::getenv("TMPDIR");
    hadTmp_ = old != nullptr;
    if (hadTmp_) oldTmp_ = old;
    drive_.MakeDir("temp");
    setenv("TMPDIR", (drive_.Path() + "/temp").c_str(), 1);
  }

  void TearDown() override {
    form_.reset();
    vx::TLha32::FreeDLL();
    vx::TZip32::FreeDLL();
    vx::TCab32::FreeDLL();
    vx::TTar32::FreeDLL();
    vx::TArj32::FreeDLL();
    vx::TRar32::FreeDLL();
    libraries_.reset();
    if (hadTmp_)
      setenv("TMPDIR", oldTmp_.c_str(), 1);
    else
      unsetenv("TMPDIR");
    EXPECT_EQ(vxui::OpenDrops(), 0) << "a drop was not finished";
  }

  // Puts these test libraries ("<variant>/<file>") on the search path.
  void Libraries(const std::vector<std::string>& libraries) {
    // The library folder must not land in the temporary folder under test.
    const std::string tmp = std::getenv("TMPDIR");
    if (hadTmp_)
      setenv("TMPDIR", oldTmp_.c_str(), 1);
    else
      unsetenv("TMPDIR");
    libraries_.reset();
    libraries_ = std::make_unique<vxtest::TestLibraries>(libraries);
    setenv("TMPDIR", tmp.c_str(), 1);
  }

  // A new dialog seeing these libraries.
  vx::TZipListForm& Dialog(const std::vector<std::string>& libraries = kAllPacking) {
    Libraries(libraries);
    form_ = std::make_unique<vx::TZipListForm>(nullptr);
    return *form_;
  }

  // A file below C:, created with its folders (relative POSIX path).
  void File(const std::string& relative, const std::string& content = "data") {
    drive_.WriteFile(relative, content);
  }
  // The Windows path of a path below C: ("a/b.txt" gives C:\a\b.txt), in
  // code page 932.
  static std::string C(const std::string& relative) {
    std::string path = "C:\\" + relative;
    for (char& c : path)
      if (c == '/') c = '\\';
    return Sjis(path);
  }
  const std::string& Root() const { return drive_.Path(); }

  // Files dropped from the shell onto the dialog, as the shell sends them.
  void Drop(const std::vector<std::string>& winPaths) {
    HDROP drop = vxui::CreateDrop(winPaths);
    SendMessageA(form_->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  }
  // Runs the action inside the dialog's modal loop, as a view would; true
  // when the dialog ended its loop.
  bool EndsDialog(const std::function<void()>& action) {
    bool ended = false;
    ui_.AnswerModal([&](HWND window) {
      action();
      ended = vxui::ModalEnded(window, nullptr);
    });
    form_->ShowModal();
    return ended;
  }

  // Command lines the library's command entry received.
  static std::vector<std::string> CommandLines(const std::string& entry) {
    std::vector<std::string> lines;
    for (const auto& call : arctest::CallsOf(entry)) lines.push_back(call.text);
    return lines;
  }

  // The dialog's list, in order.
  std::vector<std::string> Items() const { return form_->FilesListBox->Items(); }

  vxui::ScriptedBackend ui_;
  vxtest::DriveC drive_;
  std::unique_ptr<vx::TZipListForm> form_;

 private:
  std::unique_ptr<vxtest::TestLibraries> libraries_;
  bool hadTmp_ = false;
  std::string oldTmp_;
};

// The form of a window handle (every form keeps itself in its window).
inline vx::TForm* FormOf(HWND window) {
  return reinterpret_cast<vx::TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace formtest
