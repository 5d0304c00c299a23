// A compose window of the substitute host: a window with a position, a
// menu bar of pop-ups that plug-ins may extend, and the attachments of the
// message being written.
#pragma once

#include <string>
#include <vector>

#include "platform/win32api.h"

namespace vxhost {

struct Attachment {
  std::string Path;      // as the plug-in handed it over (Windows path, code page 932)
  std::string FileName;  // its file-name part
  std::string MimeType;
  std::string Data;      // the file's bytes, read when it was attached (no spool folder)
  std::string SpoolFile; // or the host's copy of it (Windows path), when the host spools
  unsigned long long Size = 0;
};

class ComposeWindow {
 public:
  ComposeWindow(int Left, int Top, int Width, int Height);
  ~ComposeWindow();
  ComposeWindow(const ComposeWindow&) = delete;
  ComposeWindow& operator=(const ComposeWindow&) = delete;

  HWND Handle() const { return window_; }
  HMENU Menu() const { return menu_; }

  const std::vector<Attachment>& Attachments() const { return attachments_; }
  void Attach(Attachment File) { attachments_.push_back(std::move(File)); }

  // A menu item whose identifier belongs to a registered command.
  struct CommandItem {
    std::string Popup;  // the pop-up's text, code page 932
    std::string Text;
    int Id = 0;
  };
  std::vector<CommandItem> CommandItems() const;

  // The menu as text (code page 932), one item a line.
  std::string MenuText() const;

 private:
  HWND window_ = nullptr;
  HMENU menu_ = nullptr;
  std::vector<Attachment> attachments_;
};

}  // namespace vxhost
