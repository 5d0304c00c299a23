// Menus of the platform layer: bars and pop-ups built by one module and
// read or extended by another.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32api.h"

namespace {

std::string ByPosition(HMENU menu, int position) {
  char text[64] = "";
  GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
  return text;
}

TEST(Menus, BarsPopupsSeparatorsAndStrings) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  HMENU tools = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuA(file, MF_STRING, 10, "開く(&O)"));
  ASSERT_TRUE(AppendMenuA(file, MF_SEPARATOR, 99, "-"));
  ASSERT_TRUE(AppendMenuA(file, MF_STRING, 11, "閉じる"));
  ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "ファイル"));
  ASSERT_TRUE(AppendMenuA(bar, MF_STRING, 20, "送信"));
  ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), "ツール"));

  EXPECT_EQ(GetMenuItemCount(bar), 3);
  EXPECT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(GetMenuItemCount(tools), 0);
  EXPECT_EQ(GetSubMenu(bar, 0), file);
  EXPECT_EQ(GetSubMenu(bar, 1), nullptr);  // a plain item opens nothing
  EXPECT_EQ(GetSubMenu(bar, 2), tools);
  EXPECT_EQ(GetSubMenu(bar, 3), nullptr);

  // Identifiers: the item's own, 0 for a separator, -1 for a pop-up or a
  // position that does not exist.
  EXPECT_EQ(GetMenuItemID(file, 0), 10u);
  EXPECT_EQ(GetMenuItemID(file, 1), 0u);
  EXPECT_EQ(GetMenuItemID(bar, 0), static_cast<UINT>(-1));
  EXPECT_EQ(GetMenuItemID(bar, 1), 20u);
  EXPECT_EQ(GetMenuItemID(file, 3), static_cast<UINT>(-1));
  EXPECT_EQ(GetMenuItemID(file, -1), static_cast<UINT>(-1));

  EXPECT_EQ(ByPosition(bar, 0), "ファイル");
  EXPECT_EQ(ByPosition(file, 0), "開く(&O)");
  EXPECT_EQ(ByPosition(file, 1), "");  // a separator has no text
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
  EXPECT_EQ(GetMenuState(file, 0, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION), static_cast<UINT>(MF_POPUP | (3 << 8)));
  EXPECT_EQ(GetMenuState(file, 7, MF_BYPOSITION), static_cast<UINT>(-1));

  // By command, the pop-ups are searched too.
  char text[64];
  EXPECT_EQ(GetMenuStringA(bar, 11, text, sizeof text, MF_BYCOMMAND), 6);
  EXPECT_STREQ(text, "閉じる");
  EXPECT_EQ(GetMenuStringA(bar, 12, text, sizeof text, MF_BYCOMMAND), 0);

  // The length alone, and a text cut to the buffer.
  EXPECT_EQ(GetMenuStringA(file, 0, nullptr, 0, MF_BYPOSITION), 8);
  char small[4];
  EXPECT_EQ(GetMenuStringA(file, 0, small, sizeof small, MF_BYPOSITION), 3);
  EXPECT_EQ(std::string(small), std::string("開く", 3));

  // Destroying the bar destroys its pop-ups.
  EXPECT_TRUE(DestroyMenu(bar));
  EXPECT_EQ(GetMenuItemCount(bar), -1);
  EXPECT_EQ(GetMenuItemCount(file), -1);
  EXPECT_EQ(GetMenuItemCount(tools), -1);
  EXPECT_FALSE(DestroyMenu(bar));
}

TEST(Menus, BadHandlesAndPopupsThatAlreadyHaveAPlace) {
  HMENU bar = CreateMenu();
  HMENU popup = CreatePopupMenu();
  EXPECT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "a"));
  // A pop-up belongs to one menu; a menu cannot hold itself or a non-menu.
  EXPECT_FALSE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "b"));
  EXPECT_FALSE(AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "c"));
  EXPECT_FALSE(AppendMenuA(bar, MF_POPUP, 12345, "d"));
  EXPECT_EQ(GetMenuItemCount(bar), 1);

  HMENU bogus = reinterpret_cast<HMENU>(&bar);
  EXPECT_FALSE(AppendMenuA(bogus, MF_STRING, 1, "x"));
  EXPECT_EQ(GetMenuItemCount(bogus), -1);
  EXPECT_EQ(GetSubMenu(bogus, 0), nullptr);
  EXPECT_EQ(GetMenuItemID(bogus, 0), static_cast<UINT>(-1));
  EXPECT_EQ(GetMenuItemCount(nullptr), -1);
  EXPECT_TRUE(DestroyMenu(bar));
}

}  // namespace
