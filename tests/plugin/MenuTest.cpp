// The compose menu item and the information record.
#include <cstring>
#include <memory>

#include "PluginTestKit.h"
#include "support/Scratch.h"

namespace plugintest {
namespace {

class PluginShell : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin_ = std::make_unique<LoadedPlugin>(CopyModule(plugins_.Path()));
    ASSERT_TRUE(plugin_->Loaded());
  }
  void TearDown() override { plugin_.reset(); }

  // Item counts of the menu bar and of each pop-up.
  static std::vector<int> Shape(HMENU menu) {
    std::vector<int> shape{GetMenuItemCount(menu)};
    for (int i = 0; i < GetMenuItemCount(menu); ++i) shape.push_back(GetMenuItemCount(GetSubMenu(menu, i)));
    return shape;
  }

  static std::string Text(HMENU menu, int position) {
    char text[256] = "";
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
  }

  vxtest::ScratchDir plugins_;
  vxtest::TestLibraries libraries_{{"full/UNLHA32.DLL"}};
  std::unique_ptr<LoadedPlugin> plugin_;
};

TEST_F(PluginShell, MenusOfOtherTypesStayAsTheyAre) {
  vxhost::ComposeWindow compose(0, 0, 640, 480);
  const std::vector<int> before = Shape(compose.Menu());
  for (LONG type : {0, 1, 9, 11, -10, 0x10A}) {
    SCOPED_TRACE(type);
    EXPECT_EQ(plugin_->OnMenuInit(compose.Handle(), compose.Menu(), type), 0);
    EXPECT_EQ(Shape(compose.Menu()), before);
  }
  EXPECT_TRUE(vxhost::Host::Instance().Commands().empty());
}

TEST_F(PluginShell, EveryComposeMenuGetsASeparatorAndTheItemOfAFreshCommand) {
  vxhost::ComposeWindow compose(0, 0, 640, 480);
  HMENU tools = GetSubMenu(compose.Menu(), 3);
  const int original = GetMenuItemCount(tools);
  const std::vector<int> others = Shape(compose.Menu());

  // The host passes the same menu twice: each call adds its own pair.
  for (int call = 1; call <= 2; ++call) {
    SCOPED_TRACE(call);
    EXPECT_EQ(plugin_->OnMenuInit(compose.Handle(), compose.Menu(), VX_MENU_COMPOSE), 0);
    const auto& commands = vxhost::Host::Instance().Commands();
    ASSERT_EQ(commands.size(), static_cast<std::size_t>(call));
    const vxhost::Command& command = commands.back();
    EXPECT_EQ(command.Text, "ファイルを圧縮して添付する");
    EXPECT_EQ(command.MenuType, VX_MENU_COMPOSE);
    EXPECT_NE(command.Callback, nullptr);

    ASSERT_EQ(GetMenuItemCount(tools), original + 2 * call);
    const int separator = original + 2 * (call - 1);
    EXPECT_EQ(GetMenuState(tools, static_cast<UINT>(separator), MF_BYPOSITION) & MF_SEPARATOR,
              static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(tools, separator), 0u);
    EXPECT_EQ(Text(tools, separator + 1), "圧縮して添付...");
    EXPECT_EQ(GetMenuItemID(tools, separator + 1), static_cast<UINT>(command.Id));
  }
  EXPECT_NE(vxhost::Host::Instance().Commands()[0].Id, vxhost::Host::Instance().Commands()[1].Id);
  // Only the fourth pop-up changed.
  std::vector<int> expected = others;
  expected[4] += 4;
  EXPECT_EQ(Shape(compose.Menu()), expected);
}

TEST_F(PluginShell, TheInformationRecordGetsFourTextsAndNothingElse) {
  std::vector<char> record(1024, '\x5A');
  std::vector<char> expected = record;
  const std::string name = "Vordex! 圧縮添付 plug-in";
  const std::string version = "0.30";
  const std::string description =
      "ファイルを簡単な操作で圧縮と同時に添付します。\r\n"
      "このプラグインの動作には統合アーカイバプロジェクト (";
  const std::string descriptionEnd = ") のDLLが必要です。詳しくはreadme.txtをご覧ください。";

  auto info = reinterpret_cast<TVxcOnPlugInInfo>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("VxArc.dll"), "VXC_OnPlugInInfo")));
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info(record.data()), 0);

  const std::string vendor = record.data() + VX_INFO_VENDOR;
  const std::string text = record.data() + VX_INFO_DESCRIPTION;
  EXPECT_STREQ(record.data() + VX_INFO_NAME, name.c_str());
  EXPECT_FALSE(vendor.empty());
  EXPECT_LT(vendor.size(), 80u);
  EXPECT_STREQ(record.data() + VX_INFO_VERSION, version.c_str());
  EXPECT_EQ(text.compare(0, description.size(), description), 0);
  ASSERT_GT(text.size(), description.size() + descriptionEnd.size());
  EXPECT_EQ(text.substr(text.size() - descriptionEnd.size()), descriptionEnd);

  // Every byte outside the four texts and their terminators is untouched.
  const std::pair<std::size_t, std::size_t> written[] = {{VX_INFO_NAME, name.size() + 1},
                                                         {VX_INFO_VENDOR, vendor.size() + 1},
                                                         {VX_INFO_VERSION, version.size() + 1},
                                                         {VX_INFO_DESCRIPTION, text.size() + 1}};
  for (const auto& [offset, size] : written) std::memcpy(expected.data() + offset, record.data() + offset, size);
  EXPECT_EQ(record, expected);
}

}  // namespace
}  // namespace plugintest
