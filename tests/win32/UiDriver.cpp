#include "UiDriver.h"

#include <shlobj.h>

#include <atomic>

#include "Png.h"
#include "WinTest.h"

namespace wintest {

namespace {

const char kPingClass[] = "VxTestPing";
HWND pingWindow = nullptr;
std::atomic<LONG> pingsSent{0};
std::atomic<LONG> pingsSeen{0};
constexpr UINT kPing = WM_APP + 0x5A;

struct TFind {
  std::string Text;
  const char* Class;
  int Index;
  HWND Found;
};

BOOL CALLBACK FindTop(HWND Window, LPARAM Param) {
  auto* find = reinterpret_cast<TFind*>(Param);
  DWORD process = 0;
  GetWindowThreadProcessId(Window, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(Window) || Text(Window) != find->Text) return TRUE;
  find->Found = Window;
  return FALSE;
}

BOOL CALLBACK FindDescendant(HWND Window, LPARAM Param) {
  auto* find = reinterpret_cast<TFind*>(Param);
  if (find->Class != nullptr && lstrcmpiA(ClassOf(Window).c_str(), find->Class) != 0) return TRUE;
  if (!find->Text.empty() && Text(Window) != find->Text) return TRUE;
  if (find->Index-- > 0) return TRUE;
  find->Found = Window;
  return FALSE;
}

LPARAM ItemPoint(HWND List, int Index) {
  RECT rc{};
  SendMessageA(List, LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&rc));
  return MAKELPARAM(rc.left + 4, (rc.top + rc.bottom) / 2);
}

}  // namespace

TDriver::TDriver(std::function<void()> Script) {
  if (pingWindow == nullptr) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &PingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kPingClass;
    RegisterClassA(&wc);
    pingWindow = CreateWindowExA(0, kPingClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }
  FScript = std::move(Script);
  FStarted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  FThread = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
  // A new thread starts under the loader lock: it must be running before
  // this thread loads a module whose start-up shows a box.
  WaitForSingleObject(FStarted, INFINITE);
}

DWORD WINAPI TDriver::Run(LPVOID Param) {
  auto* driver = static_cast<TDriver*>(Param);
  SetEvent(driver->FStarted);
  try {
    driver->FScript();
  } catch (const TAbort&) {
  } catch (const std::exception& e) {
    Fail(__FILE__, __LINE__, std::string("exception in the driver: ") + e.what());
  }
  return 0;
}

TDriver::~TDriver() {
  // The script may still wait for a window that a failed check will never
  // bring: keep the user interface alive while it runs out.
  while (MsgWaitForMultipleObjects(1, &FThread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  CloseHandle(FThread);
  CloseHandle(FStarted);
}

LRESULT CALLBACK TDriver::PingProc(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (Msg == kPing) {
    pingsSeen = static_cast<LONG>(wParam);
    return 0;
  }
  return DefWindowProcA(Window, Msg, wParam, lParam);
}

void TDriver::Settle() {
  const LONG ticket = ++pingsSent;
  PostMessageA(pingWindow, kPing, static_cast<WPARAM>(ticket), 0);
  if (!WaitFor([ticket] { return pingsSeen >= ticket; }, 20000)) Fail(__FILE__, __LINE__, "user interface does not answer");
}

HWND FindTopWindow(const std::string& Caption) {
  TFind find{Caption, nullptr, 0, nullptr};
  EnumWindows(&FindTop, reinterpret_cast<LPARAM>(&find));
  return find.Found;
}

bool WaitFor(const std::function<bool()>& Condition, DWORD TimeoutMs) {
  const DWORD start = GetTickCount();
  while (!Condition()) {
    if (GetTickCount() - start > TimeoutMs) return false;
    Sleep(20);
  }
  return true;
}

HWND WaitWindow(const std::string& Caption, DWORD TimeoutMs) {
  HWND found = nullptr;
  if (!WaitFor([&] { return (found = FindTopWindow(Caption)) != nullptr; }, TimeoutMs)) {
    Fail(__FILE__, __LINE__, "no window " + Show(Caption));
    throw TAbort("no window");
  }
  TDriver::Settle();
  return found;
}

bool WaitGone(HWND Window, DWORD TimeoutMs) {
  return WaitFor([Window] { return !IsWindow(Window) || !IsWindowVisible(Window); }, TimeoutMs);
}

HWND FindChild(HWND Parent, const std::string& Text, const char* Class) {
  TFind find{Text, Class, 0, nullptr};
  EnumChildWindows(Parent, &FindDescendant, reinterpret_cast<LPARAM>(&find));
  return find.Found;
}

HWND FindChildOfClass(HWND Parent, const char* Class, int Index) {
  TFind find{std::string(), Class, Index, nullptr};
  EnumChildWindows(Parent, &FindDescendant, reinterpret_cast<LPARAM>(&find));
  return find.Found;
}

std::string Text(HWND Window) {
  char buffer[4096] = {};
  // WM_GETTEXT with a time limit: a hung window must not hang the driver.
  DWORD_PTR length = 0;
  SendMessageTimeoutA(Window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 5000, &length);
  return std::string(buffer, length);
}

std::string ClassOf(HWND Window) {
  char name[256] = {};
  GetClassNameA(Window, name, sizeof name);
  return name;
}

void Click(HWND Button) {
  PostClick(Button);
  TDriver::Settle();
}

void PostClick(HWND Button) { PostMessageA(Button, BM_CLICK, 0, 0); }

void TypeText(HWND Edit, const std::string& Text) {
  SendMessageTimeoutA(Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()), SMTO_NORMAL, 5000, nullptr);
  TDriver::Settle();
}

void ClickListItem(HWND List, int Index, WPARAM Keys) {
  const LPARAM at = ItemPoint(List, Index);
  PostMessageA(List, WM_LBUTTONDOWN, MK_LBUTTON | Keys, at);
  PostMessageA(List, WM_LBUTTONUP, Keys, at);
  TDriver::Settle();
}

void DoubleClickListItem(HWND List, int Index) {
  const LPARAM at = ItemPoint(List, Index);
  PostMessageA(List, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(List, WM_LBUTTONUP, 0, at);
  PostMessageA(List, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageA(List, WM_LBUTTONUP, 0, at);
  TDriver::Settle();
}

void PressKey(HWND Target, WORD Key, bool Alt) {
  const UINT down = Alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
  const UINT up = Alt ? WM_SYSKEYUP : WM_KEYUP;
  const LPARAM context = Alt ? (1 << 29) : 0;
  // The loop's TranslateMessage makes the character message, as for a real key.
  PostMessageA(Target, down, Key, 1 | context);
  PostMessageA(Target, up, Key, static_cast<LPARAM>(0xC0000001u) | context);
  TDriver::Settle();
}

void DropFiles(HWND Target, const std::vector<std::string>& Paths) {
  std::size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& p : Paths) size += p.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, size);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = POINT{20, 40};
  drop->fNC = FALSE;
  drop->fWide = FALSE;
  char* names = reinterpret_cast<char*>(drop + 1);
  for (const std::string& p : Paths) {
    memcpy(names, p.c_str(), p.size() + 1);
    names += p.size() + 1;
  }
  GlobalUnlock(memory);
  PostMessageA(Target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

TBox AnswerBox(const std::string& Caption, const std::string& Button, const std::string& PngPath) {
  TBox box;
  box.Caption = Caption;
  HWND window = nullptr;
  if (!WaitFor([&] { return (window = FindTopWindow(Caption)) != nullptr && ClassOf(window) == "#32770"; })) {
    Fail(__FILE__, __LINE__, "no message box " + Show(Caption));
    throw TAbort("no message box");
  }
  TDriver::Settle();
  box.Text = Text(GetDlgItem(window, 0xFFFF));
  box.Icon = reinterpret_cast<HICON>(SendMessageA(GetDlgItem(window, 0x0440), STM_GETICON, 0, 0));
  HWND chosen = nullptr;
  for (int i = 0;; ++i) {
    HWND b = FindChildOfClass(window, "Button", i);
    if (b == nullptr) break;
    box.Buttons.push_back(Text(b));
    if (box.Buttons.back() == Button) chosen = b;
  }
  if (chosen == nullptr) {
    Fail(__FILE__, __LINE__, "message box " + Show(Caption) + " has no button " + Show(Button));
    throw TAbort("no button");
  }
  if (!PngPath.empty() && !Screenshot(window, PngPath)) Fail(__FILE__, __LINE__, "no picture " + PngPath);
  PostClick(chosen);
  if (!WaitGone(window)) Fail(__FILE__, __LINE__, "message box stays open");
  return box;
}

HICON SystemIcon(LPCSTR Id) { return LoadIconA(nullptr, Id); }

TPicture Capture(HWND Window) {
  // Painted now, by the window's own thread (RDW_UPDATENOW sends the
  // paint messages and waits for them); the picture is then read from the
  // window's own drawing surface, not from the screen, which shows it only
  // some time later.
  TDriver::Settle();
  RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
  TDriver::Settle();
  TPicture picture;
  RECT rc{};
  GetWindowRect(Window, &rc);
  const int width = rc.right - rc.left, height = rc.bottom - rc.top;
  if (width <= 0 || height <= 0) return picture;
  HDC source = GetWindowDC(Window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  GdiFlush();
  picture.Width = width;
  picture.Height = height;
  picture.Rgb.resize(static_cast<std::size_t>(width) * height * 3);
  const auto* src = static_cast<const uint8_t*>(bits);
  for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i) {
    picture.Rgb[i * 3] = src[i * 4 + 2];
    picture.Rgb[i * 3 + 1] = src[i * 4 + 1];
    picture.Rgb[i * 3 + 2] = src[i * 4];
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(Window, source);
  return picture;
}

bool Screenshot(HWND Window, const std::string& PngPath) {
  const TPicture picture = Capture(Window);
  return WritePng(PngPath, picture.Width, picture.Height, picture.Rgb);
}

}  // namespace wintest
