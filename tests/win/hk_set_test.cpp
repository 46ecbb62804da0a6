#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "hotkeys/hk_set_win.h"
#include "win_test_util.h"
#include "ids_hotkeys.h"

using namespace griv;
using griv::test::ProgramResources;

namespace {

using griv::test::PostKey;

bool Show(TfrmHKSet& ed, const char* caption, int x, int y, std::function<void(HWND)> act) {
  griv::test::WhenDialogShows(caption, std::move(act));
  return ed.ShowModal(nullptr, x, y, caption);
}


struct HkSetTest : griv::test::DialogLayoutTest<IDD_HKSET> {
  TfrmHKSet ed;
  void SetUp() override {
    DialogLayoutTest::SetUp();
    if (!IsSkipped()) ed.Create(res);
  }
};

}  // namespace

TEST_F(HkSetTest, ShowsTheLoadedTextAndBuildsTheChoiceOnEnter) {
  ed.LoadHotKeyText("Win|Ctrl|#28");
  bool ok = Show(ed, "Area Capture Hot Key", 140, 130, [](HWND dlg) {
    HWND combo = GetDlgItem(dlg, IDC_HKSET_KEY);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 96);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 28);
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_HKSET_CTRL), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_HKSET_ALT), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_HKSET_WIN), static_cast<UINT>(BST_CHECKED));
    // Drop-down list: no free text.
    EXPECT_EQ(GetWindowLongW(combo, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    LONG style = GetWindowLongW(dlg, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);  // no title-bar buttons
    RECT r;
    GetWindowRect(dlg, &r);
    EXPECT_EQ(r.left, 140);
    EXPECT_EQ(r.top, 130);
    // The size follows the dialog font (Wine has no Arial); every control must fit.
    RECT client;
    GetClientRect(dlg, &client);
    for (int id : {IDC_HKSET_CTRL, IDC_HKSET_ALT, IDC_HKSET_SHIFT, IDC_HKSET_WIN, IDC_HKSET_KEY, IDOK, IDCANCEL}) {
      HWND c = GetDlgItem(dlg, id);
      ASSERT_NE(c, nullptr) << id;
      if (id == IDC_HKSET_KEY) {
        SendMessageW(c, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
        r.bottom = r.top + static_cast<LONG>(SendMessageW(c, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
      } else {
        GetWindowRect(c, &r);
      }
      MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
      EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom) << id;
    }

    SendMessageW(GetDlgItem(dlg, IDC_HKSET_WIN), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(dlg, IDC_HKSET_SHIFT), BM_CLICK, 0, 0);
    SendMessageW(combo, CB_SETCURSEL, 80, 0);
    PostKey(dlg, VK_RETURN);  // OK is the default button
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(ed.BuildHotKeyText(), "Ctrl|Shift|#80");
  EXPECT_EQ(HotKeyTextToDisplay(ed.BuildHotKeyText()), "Ctrl, Shift, F12");
}

TEST_F(HkSetTest, EscapeCancelsAndKeepsTheText) {
  ed.LoadHotKeyText("Alt|#15");
  bool ok = Show(ed, "Active Screen Capture Hot Key", 50, 60, [](HWND dlg) {
    SendMessageW(GetDlgItem(dlg, IDC_HKSET_CTRL), BM_CLICK, 0, 0);
    SendDlgItemMessageW(dlg, IDC_HKSET_KEY, CB_SETCURSEL, 3, 0);
    PostKey(dlg, VK_ESCAPE);
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(ed.BuildHotKeyText(), "Alt|#15");
}
