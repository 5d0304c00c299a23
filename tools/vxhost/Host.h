// The substitute mail host's state behind its API: the commands plug-ins
// registered and the compose windows that files are attached to. One per
// process, like the host program itself.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/win32api.h"
#include "plugin/VxPlugin.h"

namespace vxhost {

class ComposeWindow;

struct Command {
  int Id = 0;
  std::string Text;  // code page 932
  LONG MenuType = 0;
  TVxCommandProc Callback = nullptr;
};

class Host {
 public:
  static Host& Instance();

  // A fresh identifier for the command; the callback is kept.
  int RegisterCommand(LPCSTR Text, LONG MenuType, TVxCommandProc Callback);
  const Command* FindCommand(int Id) const;
  const std::vector<Command>& Commands() const { return commands_; }

  // Takes the file over before it returns, so that the caller may delete
  // it: copied into the spool folder when there is one (the message is
  // written from there, the attachment never held in memory), else read
  // into the attachment. 0 on success.
  int AttachFile(HWND Compose, LPCSTR FileName, LPCSTR MimeType);
  // A folder (Windows path) for the copies of attached files; empty: none.
  void SetSpoolFolder(const std::string& Folder) { spoolFolder_ = Folder; }

  // Runs a registered command in the compose window, as choosing its menu
  // item does. False for an identifier nobody registered.
  bool Choose(ComposeWindow& Compose, int Id);

  void AddCompose(ComposeWindow* Compose);
  void RemoveCompose(ComposeWindow* Compose);
  // Forgets the registered commands (a new plug-in session).
  void ClearCommands() { commands_.clear(); }

 private:
  Host() = default;

  std::vector<Command> commands_;
  std::map<HWND, ComposeWindow*> composeWindows_;
  int nextId_ = 40001;
  std::string spoolFolder_;
  int spooled_ = 0;
};

// The file-name part of a Windows path in code page 932.
std::string FileNamePart(const std::string& Path);

}  // namespace vxhost
