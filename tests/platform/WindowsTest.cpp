// Registered messages and hidden windows with a procedure.
#include <gtest/gtest.h>

#include <vector>

#include "platform/posix/vxposix.h"
#include "platform/win32api.h"

namespace {

std::vector<UINT> received;

LRESULT CALLBACK Record(HWND, UINT msg, WPARAM wParam, LPARAM) {
  received.push_back(msg);
  return static_cast<LRESULT>(wParam) * 2;
}

LRESULT CALLBACK Other(HWND, UINT, WPARAM, LPARAM) { return 99; }

struct Registered {
  Registered() {
    WNDCLASSA cls{};
    cls.lpfnWndProc = Record;
    cls.lpszClassName = "VxTestWindow";
    atom = RegisterClassA(&cls);
  }
  ~Registered() { UnregisterClassA("VxTestWindow", nullptr); }
  ATOM atom;
};

}  // namespace

TEST(Messages, TheSameNameGivesTheSameNumberWithoutCase) {
  const UINT a = RegisterWindowMessageA("wm_arcextract");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(RegisterWindowMessageA("WM_ARCEXTRACT"), a);
  EXPECT_NE(RegisterWindowMessageA("wm_other"), a);
  EXPECT_EQ(RegisterWindowMessageA(""), 0u);
}

TEST(Windows, DeliverMessagesSynchronouslyUntilDestroyed) {
  Registered reg;
  ASSERT_NE(reg.atom, 0);
  received.clear();
  HWND w = CreateWindowExA(0, "vxtestwindow", "", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(IsWindow(w));
  EXPECT_EQ(SendMessageA(w, WM_USER + 1, 21, 0), 42);
  SetWindowLongPtrA(w, GWLP_USERDATA, 1234);
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 1234);
  const LONG_PTR old = SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Other));
  EXPECT_EQ(old, reinterpret_cast<LONG_PTR>(Record));
  EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 99);
  SetWindowLongPtrA(w, GWLP_WNDPROC, old);
  EXPECT_TRUE(DestroyWindow(w));
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(SendMessageA(w, WM_USER, 1, 0), 0);
  EXPECT_EQ(received, (std::vector<UINT>{WM_CREATE, WM_USER + 1, WM_DESTROY}));
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST(Windows, PositionAndForegroundAreKept) {
  Registered reg;
  HWND w = CreateWindowExA(0, "VxTestWindow", "", 0, 10, 20, 300, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  RECT r{};
  SetWindowPos(w, HWND_TOP, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(GetWindowRect(w, &r));
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(r.right, 350);
  EXPECT_EQ(r.bottom, 260);
  vxposix::ClearForegroundLog();
  EXPECT_TRUE(SetForegroundWindow(w));
  EXPECT_EQ(vxposix::ForegroundLog(), std::vector<HWND>{w});
  DestroyWindow(w);
}
