// Windows and messages without a display: registered messages, window
// classes, windows with a procedure, and SendMessageA delivered at once on
// the calling thread. One table per process, shared by every module.
#include <map>
#include <memory>
#include <mutex>

#include "platform/posix/Internal.h"
#include "platform/posix/vxposix.h"

namespace vxposix::detail {
namespace {

struct WindowClass {
  std::string name;
  WNDPROC proc = nullptr;
  ATOM atom = 0;
};

struct Window {
  WindowClass cls;
  WNDPROC proc = nullptr;
  LONG_PTR userData = 0;
  HWND parent = nullptr;
  RECT rect{};
  std::string text;
};

struct State {
  std::recursive_mutex lock;
  std::vector<std::string> messages;  // index i is message 0xC000 + i
  std::vector<WindowClass> classes;
  std::map<HWND, std::unique_ptr<Window>> windows;
  std::vector<HWND> foreground;
  ATOM nextAtom = 0xC000;
};

State& Global() {
  static State state;
  return state;
}

Window* Find(HWND hWnd) {
  auto& windows = Global().windows;
  auto it = windows.find(hWnd);
  return it == windows.end() ? nullptr : it->second.get();
}

WNDPROC ProcOf(HWND hWnd) {
  std::lock_guard<std::recursive_mutex> guard(Global().lock);
  Window* w = Find(hWnd);
  return w == nullptr ? nullptr : w->proc;
}

}  // namespace
}  // namespace vxposix::detail

namespace vxposix {

std::vector<HWND> ForegroundLog() {
  std::lock_guard<std::recursive_mutex> guard(detail::Global().lock);
  return detail::Global().foreground;
}

void ClearForegroundLog() {
  std::lock_guard<std::recursive_mutex> guard(detail::Global().lock);
  detail::Global().foreground.clear();
}

}  // namespace vxposix

using namespace vxposix::detail;

VXAPI UINT WINAPI RegisterWindowMessageA(LPCSTR lpString) {
  if (lpString == nullptr || *lpString == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  State& s = Global();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  for (size_t i = 0; i < s.messages.size(); ++i)
    if (EqualsNoCase(s.messages[i], lpString)) return static_cast<UINT>(0xC000 + i);
  s.messages.push_back(lpString);
  return static_cast<UINT>(0xC000 + s.messages.size() - 1);
}

VXAPI ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (lpWndClass == nullptr || lpWndClass->lpszClassName == nullptr || lpWndClass->lpfnWndProc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  State& s = Global();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  for (const auto& c : s.classes)
    if (EqualsNoCase(c.name, lpWndClass->lpszClassName)) {
      SetLastError(1410);  // ERROR_CLASS_ALREADY_EXISTS
      return 0;
    }
  s.classes.push_back(WindowClass{lpWndClass->lpszClassName, lpWndClass->lpfnWndProc, s.nextAtom++});
  return s.classes.back().atom;
}

VXAPI BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
  State& s = Global();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  for (auto it = s.classes.begin(); it != s.classes.end(); ++it)
    if (lpClassName != nullptr && EqualsNoCase(it->name, lpClassName)) {
      s.classes.erase(it);
      return TRUE;
    }
  SetLastError(1411);  // ERROR_CLASS_DOES_NOT_EXIST
  return FALSE;
}

VXAPI HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                                  int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                                  HINSTANCE hInstance, LPVOID lpParam) {
  HWND hWnd = nullptr;
  {
    State& s = Global();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    const WindowClass* cls = nullptr;
    for (const auto& c : s.classes)
      if (lpClassName != nullptr && EqualsNoCase(c.name, lpClassName)) cls = &c;
    if (cls == nullptr) {
      SetLastError(1407);  // ERROR_CANNOT_FIND_WND_CLASS
      return nullptr;
    }
    auto window = std::make_unique<Window>();
    window->cls = *cls;
    window->proc = cls->proc;
    window->parent = hWndParent;
    window->rect = RECT{X, Y, X + nWidth, Y + nHeight};
    window->text = lpWindowName != nullptr ? lpWindowName : "";
    hWnd = reinterpret_cast<HWND>(window.get());
    s.windows[hWnd] = std::move(window);
  }
  CREATESTRUCTA create{lpParam, hInstance, hMenu, hWndParent, nHeight, nWidth, Y, X,
                       static_cast<LONG>(dwStyle), lpWindowName, lpClassName, dwExStyle};
  if (SendMessageA(hWnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(hWnd);
    return nullptr;
  }
  return hWnd;
}

VXAPI BOOL WINAPI DestroyWindow(HWND hWnd) {
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  SendMessageA(hWnd, WM_DESTROY, 0, 0);
  std::unique_ptr<Window> gone;
  {
    std::lock_guard<std::recursive_mutex> guard(Global().lock);
    auto it = Global().windows.find(hWnd);
    if (it != Global().windows.end()) {
      gone = std::move(it->second);
      Global().windows.erase(it);
    }
  }
  return TRUE;
}

VXAPI BOOL WINAPI IsWindow(HWND hWnd) {
  std::lock_guard<std::recursive_mutex> guard(Global().lock);
  return Find(hWnd) != nullptr ? TRUE : FALSE;
}

VXAPI LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = ProcOf(hWnd);
  if (proc == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return proc(hWnd, Msg, wParam, lParam);
}

VXAPI LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM, LPARAM) {
  if (Msg == WM_CLOSE) DestroyWindow(hWnd);
  return 0;
}

VXAPI LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  std::lock_guard<std::recursive_mutex> guard(Global().lock);
  Window* w = Find(hWnd);
  if (w == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LONG_PTR old = 0;
  if (nIndex == GWLP_USERDATA) {
    old = w->userData;
    w->userData = dwNewLong;
  } else if (nIndex == GWLP_WNDPROC) {
    old = reinterpret_cast<LONG_PTR>(w->proc);
    w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  SetLastError(ERROR_SUCCESS);
  return old;
}

VXAPI LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
  std::lock_guard<std::recursive_mutex> guard(Global().lock);
  Window* w = Find(hWnd);
  if (w == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (nIndex == GWLP_USERDATA) return w->userData;
  if (nIndex == GWLP_WNDPROC) return reinterpret_cast<LONG_PTR>(w->proc);
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

VXAPI BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  std::lock_guard<std::recursive_mutex> guard(Global().lock);
  Window* w = Find(hWnd);
  if (w == nullptr || lpRect == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *lpRect = w->rect;
  return TRUE;
}

VXAPI BOOL WINAPI SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT uFlags) {
  std::lock_guard<std::recursive_mutex> guard(Global().lock);
  Window* w = Find(hWnd);
  if (w == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  RECT& r = w->rect;
  const LONG width = r.right - r.left, height = r.bottom - r.top;
  if ((uFlags & SWP_NOMOVE) == 0) {
    r.left = X;
    r.top = Y;
  }
  if ((uFlags & SWP_NOSIZE) == 0) {
    r.right = r.left + cx;
    r.bottom = r.top + cy;
  } else {
    r.right = r.left + width;
    r.bottom = r.top + height;
  }
  return TRUE;
}

VXAPI BOOL WINAPI SetForegroundWindow(HWND hWnd) {
  std::lock_guard<std::recursive_mutex> guard(Global().lock);
  Global().foreground.push_back(hWnd);
  return TRUE;
}

VXAPI BOOL WINAPI BringWindowToTop(HWND hWnd) { return IsWindow(hWnd); }
