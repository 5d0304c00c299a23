#include "Host.h"

#include <memory>

#include "ComposeWindow.h"

namespace vxhost {

namespace {

struct FileHandle {
  HANDLE handle;
  ~FileHandle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

bool ReadWholeFile(const char* path, std::string& data) {
  FileHandle file{CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) return false;
  data.clear();
  char buffer[65536];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.handle, buffer, sizeof buffer, &read, nullptr)) return false;
    if (read == 0) return true;
    data.append(buffer, read);
  }
}

}  // namespace

Host& Host::Instance() {
  static Host host;
  return host;
}

int Host::RegisterCommand(LPCSTR Text, LONG MenuType, TVxCommandProc Callback) {
  Command command;
  command.Id = nextId_++;
  command.Text = Text != nullptr ? Text : "";
  command.MenuType = MenuType;
  command.Callback = Callback;
  commands_.push_back(command);
  return command.Id;
}

const Command* Host::FindCommand(int Id) const {
  for (const Command& c : commands_)
    if (c.Id == Id) return &c;
  return nullptr;
}

int Host::AttachFile(HWND Compose, LPCSTR FileName, LPCSTR MimeType) {
  auto it = composeWindows_.find(Compose);
  if (it == composeWindows_.end() || FileName == nullptr) return 1;
  Attachment attachment;
  attachment.Path = FileName;
  attachment.FileName = FileNamePart(FileName);
  attachment.MimeType = MimeType != nullptr && *MimeType != '\0' ? MimeType : "application/octet-stream";
  if (!ReadWholeFile(FileName, attachment.Data)) return 2;
  it->second->Attach(std::move(attachment));
  return 0;
}

bool Host::Choose(ComposeWindow& Compose, int Id) {
  const Command* command = FindCommand(Id);
  if (command == nullptr || command->Callback == nullptr) return false;
  // The callback may register further commands: call a copy.
  const TVxCommandProc callback = command->Callback;
  callback(Compose.Handle(), 0);
  return true;
}

void Host::AddCompose(ComposeWindow* Compose) { composeWindows_[Compose->Handle()] = Compose; }

void Host::RemoveCompose(ComposeWindow* Compose) { composeWindows_.erase(Compose->Handle()); }

std::string FileNamePart(const std::string& Path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < Path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(Path[i]);
    if (IsDBCSLeadByte(c) && i + 1 < Path.size()) {
      ++i;  // the trail byte may be 0x5C: it is no separator
    } else if (c == '\\' || c == '/' || c == ':') {
      start = i + 1;
    }
  }
  return Path.substr(start);
}

}  // namespace vxhost
