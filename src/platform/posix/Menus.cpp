// Menus without a display: menu bars and pop-ups with their items, kept in
// one table per process so that a module can extend a menu the host built.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/posix/Internal.h"

namespace vxposix::detail {
namespace {

struct MenuItem {
  UINT flags = 0;
  UINT id = 0;
  HMENU popup = nullptr;
  std::string text;
};

struct Menu {
  std::vector<MenuItem> items;
  bool attached = false;  // owned by another menu as its pop-up
};

struct MenuTable {
  std::recursive_mutex lock;
  std::map<HMENU, std::unique_ptr<Menu>> menus;
};

MenuTable& Menus() {
  static MenuTable table;
  return table;
}

Menu* Find(HMENU hMenu) {
  auto it = Menus().menus.find(hMenu);
  return it == Menus().menus.end() ? nullptr : it->second.get();
}

Menu* FindOrFail(HMENU hMenu) {
  Menu* menu = Find(hMenu);
  if (menu == nullptr) SetLastError(1401);  // ERROR_INVALID_MENU_HANDLE
  return menu;
}

HMENU NewMenu() {
  auto menu = std::make_unique<Menu>();
  HMENU handle = reinterpret_cast<HMENU>(menu.get());
  std::lock_guard<std::recursive_mutex> guard(Menus().lock);
  Menus().menus[handle] = std::move(menu);
  return handle;
}

void DestroyTree(HMENU hMenu) {
  Menu* menu = Find(hMenu);
  if (menu == nullptr) return;
  for (const MenuItem& item : menu->items)
    if (item.popup != nullptr) DestroyTree(item.popup);
  Menus().menus.erase(hMenu);
}

// The item by position, or by command searching pop-ups depth first.
const MenuItem* Locate(Menu& menu, UINT id, UINT flags) {
  if ((flags & MF_BYPOSITION) != 0) return id < menu.items.size() ? &menu.items[id] : nullptr;
  for (const MenuItem& item : menu.items) {
    if (item.popup == nullptr && (item.flags & MF_SEPARATOR) == 0 && item.id == id) return &item;
    if (item.popup != nullptr)
      if (Menu* sub = Find(item.popup))
        if (const MenuItem* found = Locate(*sub, id, flags)) return found;
  }
  return nullptr;
}

}  // namespace
}  // namespace vxposix::detail

using namespace vxposix::detail;

VXAPI HMENU WINAPI CreateMenu(void) { return NewMenu(); }

VXAPI HMENU WINAPI CreatePopupMenu(void) { return NewMenu(); }

VXAPI BOOL WINAPI DestroyMenu(HMENU hMenu) {
  std::lock_guard<std::recursive_mutex> guard(Menus().lock);
  if (FindOrFail(hMenu) == nullptr) return FALSE;
  DestroyTree(hMenu);
  return TRUE;
}

VXAPI BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  std::lock_guard<std::recursive_mutex> guard(Menus().lock);
  Menu* menu = FindOrFail(hMenu);
  if (menu == nullptr) return FALSE;
  MenuItem item;
  item.flags = uFlags & ~static_cast<UINT>(MF_BYPOSITION);
  if ((uFlags & MF_SEPARATOR) != 0) {
    item.flags = MF_SEPARATOR;
  } else if ((uFlags & MF_POPUP) != 0) {
    HMENU popup = reinterpret_cast<HMENU>(uIDNewItem);
    Menu* sub = Find(popup);
    // A menu cannot hold itself, nor a pop-up that already has a place.
    if (sub == nullptr || popup == hMenu || sub->attached) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    sub->attached = true;
    item.popup = popup;
    item.id = static_cast<UINT>(-1);
    item.text = lpNewItem != nullptr ? lpNewItem : "";
  } else {
    item.id = static_cast<UINT>(uIDNewItem);
    item.text = lpNewItem != nullptr ? lpNewItem : "";
  }
  menu->items.push_back(std::move(item));
  return TRUE;
}

VXAPI int WINAPI GetMenuItemCount(HMENU hMenu) {
  std::lock_guard<std::recursive_mutex> guard(Menus().lock);
  Menu* menu = FindOrFail(hMenu);
  return menu == nullptr ? -1 : static_cast<int>(menu->items.size());
}

VXAPI HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos) {
  std::lock_guard<std::recursive_mutex> guard(Menus().lock);
  Menu* menu = FindOrFail(hMenu);
  if (menu == nullptr || nPos < 0 || static_cast<size_t>(nPos) >= menu->items.size()) return nullptr;
  return menu->items[static_cast<size_t>(nPos)].popup;
}

VXAPI UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos) {
  std::lock_guard<std::recursive_mutex> guard(Menus().lock);
  Menu* menu = FindOrFail(hMenu);
  if (menu == nullptr || nPos < 0 || static_cast<size_t>(nPos) >= menu->items.size()) return static_cast<UINT>(-1);
  const MenuItem& item = menu->items[static_cast<size_t>(nPos)];
  return (item.flags & MF_SEPARATOR) != 0 ? 0 : item.id;
}

VXAPI UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
  std::lock_guard<std::recursive_mutex> guard(Menus().lock);
  Menu* menu = FindOrFail(hMenu);
  const MenuItem* item = menu == nullptr ? nullptr : Locate(*menu, uId, uFlags);
  if (item == nullptr) return static_cast<UINT>(-1);
  if (item->popup == nullptr) return item->flags;
  // A pop-up gives its item count in the high byte, as Win32 does.
  Menu* sub = Find(item->popup);
  const UINT count = sub == nullptr ? 0 : static_cast<UINT>(sub->items.size());
  return (count << 8) | (item->flags & 0xFF) | MF_POPUP;
}

VXAPI int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
  std::lock_guard<std::recursive_mutex> guard(Menus().lock);
  Menu* menu = FindOrFail(hMenu);
  const MenuItem* item = menu == nullptr ? nullptr : Locate(*menu, uIDItem, flags);
  if (item == nullptr) return 0;
  const std::string& text = item->text;  // empty for a separator
  if (lpString == nullptr) return static_cast<int>(text.size());
  if (cchMax <= 0) return 0;
  const size_t n = std::min(text.size(), static_cast<size_t>(cchMax - 1));
  std::memcpy(lpString, text.data(), n);
  lpString[n] = '\0';
  return static_cast<int>(n);
}
