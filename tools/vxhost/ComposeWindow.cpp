#include "ComposeWindow.h"

#include <stdexcept>

#include "Host.h"

namespace vxhost {

namespace {

const char kClassName[] = "VxHostCompose";

LRESULT CALLBACK ComposeProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hWnd, Msg, wParam, lParam);
}

void RegisterComposeClass() {
  static const bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &ComposeProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
  }();
  if (!registered) throw std::runtime_error("cannot register the compose window class");
}

struct PopupLayout {
  const char* Text;
  std::vector<const char*> Items;
};

// The mail client's compose menu; plug-ins extend the fourth pop-up.
const PopupLayout kPopups[] = {
    {"ファイル(&F)", {"送信(&S)", "下書きに保存(&D)", "閉じる(&C)"}},
    {"編集(&E)", {"元に戻す(&U)", "切り取り(&T)", "コピー(&C)", "貼り付け(&P)"}},
    {"表示(&V)", {"ヘッダ(&H)", "添付ファイル(&A)"}},
    {"ツール(&T)", {"署名の挿入(&S)", "ファイルの添付(&A)..."}},
    {"ヘルプ(&H)", {"バージョン情報(&A)"}},
};

std::string ItemText(HMENU menu, int position) {
  char text[256] = "";
  GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
  return text;
}

}  // namespace

ComposeWindow::ComposeWindow(int Left, int Top, int Width, int Height) {
  RegisterComposeClass();
  menu_ = CreateMenu();
  UINT id = 100;
  for (const PopupLayout& popup : kPopups) {
    HMENU sub = CreatePopupMenu();
    for (const char* item : popup.Items) AppendMenuA(sub, MF_STRING, id++, item);
    AppendMenuA(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), popup.Text);
  }
  window_ = CreateWindowExA(0, kClassName, "メッセージの作成", WS_OVERLAPPED, Left, Top, Width, Height, nullptr,
                            menu_, GetModuleHandleA(nullptr), nullptr);
  if (window_ == nullptr) {
    DestroyMenu(menu_);
    throw std::runtime_error("cannot create the compose window");
  }
  Host::Instance().AddCompose(this);
}

ComposeWindow::~ComposeWindow() {
  Host::Instance().RemoveCompose(this);
  DestroyWindow(window_);
  DestroyMenu(menu_);
}

std::vector<ComposeWindow::CommandItem> ComposeWindow::CommandItems() const {
  std::vector<CommandItem> items;
  for (int p = 0; p < GetMenuItemCount(menu_); ++p) {
    HMENU sub = GetSubMenu(menu_, p);
    for (int i = 0; sub != nullptr && i < GetMenuItemCount(sub); ++i) {
      const int id = static_cast<int>(GetMenuItemID(sub, i));
      if (id > 0 && Host::Instance().FindCommand(id) != nullptr)
        items.push_back(CommandItem{ItemText(menu_, p), ItemText(sub, i), id});
    }
  }
  return items;
}

std::string ComposeWindow::MenuText() const {
  std::string text;
  for (int p = 0; p < GetMenuItemCount(menu_); ++p) {
    text += ItemText(menu_, p) + "\n";
    HMENU sub = GetSubMenu(menu_, p);
    for (int i = 0; sub != nullptr && i < GetMenuItemCount(sub); ++i) {
      if ((GetMenuState(sub, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0) {
        text += "    --------\n";
        continue;
      }
      const int id = static_cast<int>(GetMenuItemID(sub, i));
      text += "    " + ItemText(sub, i) + "  [" + std::to_string(id) + "]";
      if (const Command* command = Host::Instance().FindCommand(id))
        text += "  (command of a plug-in: " + command->Text + ")";
      text += "\n";
    }
  }
  return text;
}

}  // namespace vxhost
