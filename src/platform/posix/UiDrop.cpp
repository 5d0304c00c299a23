// Files dropped from the shell: the windows that accept them and the drop
// objects that WM_DROPFILES hands over.
#include <cstring>
#include <memory>
#include <set>

#include "platform/posix/vxui.h"

struct HDROP__ {
  std::vector<std::string> paths;
};

namespace vxui {
namespace {

std::set<HWND>& Acceptors() {
  static std::set<HWND> windows;
  return windows;
}

std::set<HDROP>& Drops() {
  static std::set<HDROP> drops;
  return drops;
}

}  // namespace

bool AcceptsDrops(HWND window) { return Acceptors().count(window) != 0 && IsWindow(window); }

HDROP CreateDrop(const std::vector<std::string>& winPaths) {
  auto drop = std::make_unique<HDROP__>();
  drop->paths = winPaths;
  HDROP handle = drop.release();
  Drops().insert(handle);
  return handle;
}

int OpenDrops() { return static_cast<int>(Drops().size()); }

}  // namespace vxui

using namespace vxui;

VXAPI void WINAPI DragAcceptFiles(HWND hWnd, BOOL fAccept) {
  if (fAccept)
    Acceptors().insert(hWnd);
  else
    Acceptors().erase(hWnd);
}

VXAPI UINT WINAPI DragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch) {
  if (Drops().count(hDrop) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const auto& paths = hDrop->paths;
  if (iFile == 0xFFFFFFFFu) return static_cast<UINT>(paths.size());
  if (iFile >= paths.size()) return 0;
  const std::string& path = paths[iFile];
  if (lpszFile == nullptr) return static_cast<UINT>(path.size());
  if (cch == 0) return 0;
  const std::size_t n = std::min<std::size_t>(path.size(), cch - 1);
  std::memcpy(lpszFile, path.data(), n);
  lpszFile[n] = '\0';
  return static_cast<UINT>(n);
}

VXAPI void WINAPI DragFinish(HDROP hDrop) {
  if (Drops().erase(hDrop) != 0) delete hDrop;
}
