// Every command is defined once: a row of its feature's table with its
// handler beside it. The program's menus, short cuts and tool bar agree with
// the table the features build, place by place.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "app/app_commands.h"
#include "app/command_ui_win.h"
#include "app/features_win.h"
#include "app/toolbar_win.h"
#include "ids_app.h"
#include "ui/modal_state.h"
#include "win_test_util.h"

namespace griv {
namespace {

struct NoWindow : AppWindow {
  HWND Window() const override { return nullptr; }
  HINSTANCE Resources() const override { return nullptr; }
  const std::string& DialogCaption() const override { return caption; }
  int Dpi() const override { return 96; }
  SettingsStore* Store() override { return nullptr; }
  void UpdateCommands() override {}
  void SetStatusText(const std::string&) override {}
  void RestoreMainWindow() override {}
  bool HotKeysActive() const override { return false; }
  void SetHotKeysActive(bool) override {}
  std::string caption;
};

void AddMenu(HMENU menu, uint8_t place, std::map<int, uint8_t>& at) {
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      if (const int id = SubMenuCommand(sub)) at[id] |= place;
      AddMenu(sub, place, at);
    } else if (const UINT id = GetMenuItemID(menu, i); id != 0 && id != UINT(-1)) {
      at[int(id)] |= place;
    }
  }
}

TEST(CommandTable, MenusShortCutsAndButtonsAgreeWithTheFeaturesTables) {
  HMODULE res = test::ProgramResources();
  if (!res) GTEST_SKIP() << "GRIV.exe is not built";
  NoWindow app;
  ImageDocument doc;
  Settings settings;
  Branding brand;
  ViewCommands view(app, doc, settings);
  CaptureHotKeys keys;
  TfrmHKSet editor;
  CommandTable table;
  Features features(app, view, settings, brand, {"C:\\", "C:\\", "C:\\"}, keys, editor, table);
  for (int id : {CM_RESTORE, CM_EXIT, CM_CLOSE}) table.Add({}, {{id, id, [](int) {}}});  // as the main window does
  table.Add(WindowCommandRules(), {});

  std::map<int, uint8_t> at;  // where each command appears
  for (auto [menuId, place] : {std::pair{IDM_MAINMENU, kMainMenu}, {IDM_TRAYMENU, kTrayMenu}, {IDM_IMAGEMENU, kImageMenu}}) {
    UniqueMenu menu(LoadMenuW(res, MAKEINTRESOURCEW(menuId)));
    ASSERT_TRUE(menu) << menuId;
    AddMenu(menu.get(), place, at);
  }
  for (const ToolButtonDef& b : ToolButtons()) at[b.command] |= kToolBar;
  ASSERT_GT(at.size(), 60u);

  for (auto [id, places] : at) {
    EXPECT_TRUE(table.Handles(id)) << id << " has no handler";
    for (Place p : {kMainMenu, kTrayMenu, kImageMenu, kToolBar}) {
      if (!(places & p)) continue;
      EXPECT_TRUE(RuleFor(table.Rules(), id, p)) << id << " has no row for place " << int(p);
    }
  }
  for (const CommandRule& r : table.Rules())
    for (int id = r.first; id <= r.last; ++id) {
      EXPECT_TRUE(table.Handles(id)) << id << " has a row but no handler";
      // A row names exactly places the command appears in; a hidden one appears nowhere.
      const uint8_t found = at.count(id) ? at[id] : 0;
      EXPECT_EQ(found & r.places, r.places) << id << " has a row for a place it does not appear in";
      if (r.places == kHidden) {
        EXPECT_EQ(found, 0) << id;
      }
    }

  // A short cut runs a command of the main menu, under the main menu's rule.
  HACCEL accel = LoadAcceleratorsW(res, MAKEINTRESOURCEW(IDA_MAIN));
  ASSERT_TRUE(accel);
  std::vector<ACCEL> keysOf(CopyAcceleratorTableW(accel, nullptr, 0));
  CopyAcceleratorTableW(accel, keysOf.data(), int(keysOf.size()));
  for (const ACCEL& a : keysOf) EXPECT_TRUE(at[a.cmd] & kMainMenu) << a.cmd;
  DestroyAcceleratorTable(accel);
  FreeLibrary(res);
}

// A controller stands alone on a stand-in window: the capture gate refuses
// every request while a modal window is shown or another capture runs.
TEST(CaptureGate, RefusesWhileAModalWindowIsShownOrACaptureRuns) {
  NoWindow app;
  ImageDocument doc;
  Settings settings;
  ViewCommands view(app, doc, settings);
  CaptureCommands capture(app, view, settings, {});
  int ran = 0;
  EXPECT_TRUE(capture.Gate([&] {
    ++ran;
    EXPECT_FALSE(capture.Gate([&] { ++ran; }));  // a second request while the first runs
  }));
  {
    ModalScope modal;
    EXPECT_FALSE(capture.Gate([&] { ++ran; }));
  }
  EXPECT_TRUE(capture.Gate([&] { ++ran; }));
  EXPECT_EQ(ran, 2);
}

}  // namespace
}  // namespace griv
