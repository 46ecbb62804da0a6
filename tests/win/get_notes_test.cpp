#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ids_shell.h"
#include "printing/get_notes_win.h"
#include "win_test_util.h"

using namespace griv;
using griv::test::ProgramResources;

namespace {

using griv::test::PostKey;

struct GetNotesTest : griv::test::DialogLayoutTest<IDD_GETNOTES> {
  bool Run(std::vector<std::string>& notes, std::function<void(HWND)> act, int x = 120, int y = 90) {
    griv::test::WhenDialogShows("Enter Notes for the Image Print", std::move(act));
    return AskNotes(res, nullptr, x, y, notes);
  }
};

}  // namespace

TEST_F(GetNotesTest, EnterPressesOkAndTheLinesReplaceTheNotes) {
  std::vector<std::string> notes = {"an older note"};
  bool ok = Run(notes, [](HWND dlg) {
    HWND memo = GetDlgItem(dlg, IDC_GETNOTES_MEMO);
    EXPECT_EQ(GetFocus(), memo);
    EXPECT_EQ(GetWindowTextLengthW(memo), 0);  // starts empty
    EXPECT_TRUE(GetWindowLongW(memo, GWL_STYLE) & WS_VSCROLL);
    LONG style = GetWindowLongW(dlg, GWL_STYLE);
    EXPECT_FALSE(style & WS_SYSMENU);  // no caption buttons
    EXPECT_FALSE(style & WS_THICKFRAME);
    RECT r, c;
    GetWindowRect(dlg, &r);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 90);
    GetClientRect(dlg, &c);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(c.right, MulDiv(536, dpi, 96));
    EXPECT_EQ(c.bottom, MulDiv(132, dpi, 96));
    SetWindowTextW(memo, L"Build 7 \u2013 login page\r\nsecond line");
    SendMessageW(memo, EM_SETSEL, 0, -1);
    PostKey(dlg, VK_RETURN);
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(notes, (std::vector<std::string>{"Build 7 \xE2\x80\x93 login page", "second line"}));
}

TEST_F(GetNotesTest, EscapeCancelsAndEmptiesTheNotes) {
  std::vector<std::string> notes = {"left from the last print"};
  bool ok = Run(notes, [](HWND dlg) {
    SetWindowTextW(GetDlgItem(dlg, IDC_GETNOTES_MEMO), L"typed, then abandoned");
    PostKey(dlg, VK_ESCAPE);
  });
  EXPECT_FALSE(ok);
  EXPECT_TRUE(notes.empty());
}

TEST_F(GetNotesTest, OkOnAnEmptyMemoGivesNoLinesAndStaysInsideTheScreen) {
  std::vector<std::string> notes = {"old"};
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  bool ok = Run(
      notes,
      [](HWND dlg) {
        RECT r;
        GetWindowRect(dlg, &r);
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_LE(r.right, work.right);
        EXPECT_LE(r.bottom, work.bottom);
        SendMessageW(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
      },
      sw - 50, sh - 20);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(notes.empty());
}
