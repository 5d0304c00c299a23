// Drives the user interface of this process from a thread of its own,
// the way a user would, through window messages: clicks, typed text, list
// clicks, keys, files dropped from the shell (a real HDROP), answers to
// message boxes found by caption and button label, and screen pictures.
// The thread that created the driver runs the dialogs' message loops.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace wintest {

class TDriver {
 public:
  // Starts Script on its own thread; a failed WT_ASSERT ends it.
  explicit TDriver(std::function<void()> Script);
  // Waits for the script to end.
  ~TDriver();
  TDriver(const TDriver&) = delete;
  TDriver& operator=(const TDriver&) = delete;

  // Waits until the user-interface thread has handled every message posted
  // to it so far (or is inside a modal loop that one of them opened).
  static void Settle();

 private:
  static LRESULT CALLBACK PingProc(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam);
  static DWORD WINAPI Run(LPVOID Param);
  std::function<void()> FScript;
  HANDLE FThread = nullptr;
  HANDLE FStarted = nullptr;
};

// A visible top-level window of this process with the caption, or null.
HWND FindTopWindow(const std::string& Caption);
// Waits for one; a failed assertion when it does not come.
HWND WaitWindow(const std::string& Caption, DWORD TimeoutMs = 20000);
// Waits until the window is hidden or destroyed.
bool WaitGone(HWND Window, DWORD TimeoutMs = 20000);
bool WaitFor(const std::function<bool()>& Condition, DWORD TimeoutMs = 20000);

// A descendant window with the text (and class, when given), or null.
HWND FindChild(HWND Parent, const std::string& Text, const char* Class = nullptr);
// A descendant of the class, the Index-th in z-order.
HWND FindChildOfClass(HWND Parent, const char* Class, int Index = 0);
std::string Text(HWND Window);
std::string ClassOf(HWND Window);

// Presses a button as a click does, then settles.
void Click(HWND Button);
// Presses a button without waiting: for a click that opens a box.
void PostClick(HWND Button);
// Replaces the text of an edit as typing does.
void TypeText(HWND Edit, const std::string& Text);
// A mouse click (or double click) on a list item; Keys adds MK_CONTROL or MK_SHIFT.
void ClickListItem(HWND List, int Index, WPARAM Keys = 0);
void DoubleClickListItem(HWND List, int Index);
// A key pressed and released in the focused window Target.
void PressKey(HWND Target, WORD Key, bool Alt = false);
// Drops files from the shell on the window (a real HDROP in WM_DROPFILES).
void DropFiles(HWND Target, const std::vector<std::string>& Paths);

struct TBox {
  std::string Caption, Text;
  std::vector<std::string> Buttons;
  HICON Icon = nullptr;
};
// Waits for a message box with the caption, reads it (and takes its
// picture, when a path is given) and presses the button with the label.
TBox AnswerBox(const std::string& Caption, const std::string& Button, const std::string& PngPath = "");
// The system's icon of a message box kind (IDI_HAND, ...).
HICON SystemIcon(LPCSTR Id);

// The window as it is on the screen, 3 bytes (R, G, B) a pixel, top row first.
struct TPicture {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Rgb;
};
TPicture Capture(HWND Window);
// Writes a picture of the window as it is on the screen.
bool Screenshot(HWND Window, const std::string& PngPath);

}  // namespace wintest
