#include "Host.h"

#include <memory>
#include <vector>

#include "ComposeWindow.h"

namespace vxhost {

namespace {

struct FileHandle {
  HANDLE handle;
  ~FileHandle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

// Reads the file piece by piece; each piece goes to sink (false stops).
template <typename Sink>
bool ReadPieces(const char* path, Sink&& sink) {
  FileHandle file{CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) return false;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.handle, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return false;
    if (read == 0) return true;
    if (!sink(buffer.data(), read)) return false;
  }
}

bool CopyFileTo(const char* from, const std::string& to, unsigned long long& size) {
  FileHandle out{CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (out.handle == INVALID_HANDLE_VALUE) return false;
  size = 0;
  const bool ok = ReadPieces(from, [&](const char* p, DWORD n) {
    DWORD written = 0;
    size += n;
    return WriteFile(out.handle, p, n, &written, nullptr) && written == n;
  });
  if (!ok) {
    CloseHandle(out.handle);
    out.handle = INVALID_HANDLE_VALUE;
    DeleteFileA(to.c_str());
  }
  return ok;
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
  if (spoolFolder_.empty()) {
    if (!ReadPieces(FileName, [&](const char* p, DWORD n) {
          attachment.Data.append(p, n);
          return true;
        }))
      return 2;
    attachment.Size = attachment.Data.size();
  } else {
    attachment.SpoolFile = spoolFolder_ + "\\" + std::to_string(++spooled_) + ".part";
    if (!CopyFileTo(FileName, attachment.SpoolFile, attachment.Size)) return 2;
  }
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
