#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tray/tray_icon_win.h"
#include "win_test_util.h"

using namespace griv;
using griv::test::HaveDesktop;
using griv::test::PumpUntil;

namespace {

struct ShellCall {
  DWORD message;
  UINT flags;
  std::wstring tip;
  HICON icon;
};

// A tray icon whose shell calls are recorded instead of made.
struct TrayFixture : ::testing::Test {
  std::vector<ShellCall> calls;
  bool taskbar = true;
  TAnimatedTrayIcon tray;
  TrayFixture() {
    tray.ShellNotify = [this](DWORD m, NOTIFYICONDATAW* d) {
      EXPECT_EQ(d->cbSize, sizeof(NOTIFYICONDATAW));
      EXPECT_EQ(d->uID, 0u);
      EXPECT_EQ(d->hWnd, tray.Handle());
      EXPECT_EQ(d->uCallbackMessage, tray.CallbackMessage());
      calls.push_back({m, d->uFlags, d->szTip, d->hIcon});
      return TRUE;
    };
    tray.TaskbarPresent = [this] { return taskbar; };
  }
  ~TrayFixture() override { tray.ShellNotify = [](DWORD, NOTIFYICONDATAW*) { return TRUE; }; }
  int Count(DWORD message) const {
    int n = 0;
    for (const auto& c : calls) n += c.message == message;
    return n;
  }
};

// Top-level windows need a desktop; without a display only message windows exist.
}  // namespace

TEST_F(TrayFixture, ShellIsToldOnlyOfRealChangesWhileActive) {
  tray.SetHint("before");
  tray.SetShowHint(false);
  tray.SetShowHint(true);
  EXPECT_TRUE(calls.empty());  // not active: nothing to tell

  tray.SetActive(true);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(calls[0].flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(calls[0].tip, L"before");
  EXPECT_EQ(calls[0].icon, tray.Icon());
  tray.SetActive(true);
  EXPECT_EQ(calls.size(), 1u);

  tray.SetHint("before");
  EXPECT_EQ(calls.size(), 1u);
  tray.SetHint("Grüße");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(calls[1].flags, static_cast<UINT>(NIF_TIP));
  EXPECT_EQ(calls[1].tip, L"Gr\u00FC\u00DFe");

  tray.SetHint(std::string(200, 'h'));
  EXPECT_EQ(calls.back().tip, std::wstring(127, L'h'));  // the long tip field
  tray.SetShowHint(false);
  EXPECT_EQ(calls.back().tip, L"");
  tray.SetStyle(TTrayIconStyle::tsNormal);
  tray.SetRepeatCount(-2);
  EXPECT_EQ(calls.size(), 4u);

  // Assigning an icon sends a copy; an empty one brings back the built-in image.
  HICON mine = CopyIcon(LoadIconW(nullptr, IDI_WARNING));
  tray.SetIcon(mine);
  EXPECT_NE(tray.Icon(), mine);
  DestroyIcon(mine);
  EXPECT_EQ(calls.back().flags, static_cast<UINT>(NIF_ICON));
  EXPECT_EQ(calls.back().icon, tray.Icon());
  tray.SetIcon(nullptr);
  EXPECT_NE(tray.Icon(), nullptr);

  tray.SetActive(false);
  EXPECT_EQ(calls.back().message, static_cast<DWORD>(NIM_DELETE));
  tray.SetHint("after");
  EXPECT_EQ(calls.size(), 7u);
}

TEST_F(TrayFixture, TaskbarCreatedBringsTheIconBack) {
  PostMessageW(tray.Handle(), TAnimatedTrayIcon::TaskbarCreatedMessage(), 0, 0);
  PumpUntil([] { return false; }, 50);
  EXPECT_TRUE(calls.empty());  // not active: nothing to bring back

  tray.SetActive(true);
  ASSERT_EQ(Count(NIM_ADD), 1);
  SendMessageW(tray.Handle(), TAnimatedTrayIcon::TaskbarCreatedMessage(), 0, 0);
  ASSERT_EQ(Count(NIM_ADD), 2);
  if (!HaveDesktop()) GTEST_SKIP() << "no display: broadcasts cannot be tested";
  // The shell announces a new task bar to every top-level window.
  PostMessageW(HWND_BROADCAST, TAnimatedTrayIcon::TaskbarCreatedMessage(), 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return Count(NIM_ADD) == 3; }));
  EXPECT_EQ(calls.back().flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
}

TEST_F(TrayFixture, WaitsForATaskbarWithoutBlocking) {
  taskbar = false;
  tray.SetActive(true);  // returns at once
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(tray.WaitingForTaskbar());
  EXPECT_FALSE(tray.IconShown());
  tray.SetHint("tip");
  EXPECT_TRUE(calls.empty());

  taskbar = true;
  ASSERT_TRUE(PumpUntil([&] { return !calls.empty(); }, 3000));
  EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(calls[0].tip, L"tip");
  EXPECT_FALSE(tray.WaitingForTaskbar());

  // Switched off while still waiting: no removal of an icon never added, no add later.
  tray.SetActive(false);
  calls.clear();
  taskbar = false;
  tray.SetActive(true);
  tray.SetActive(false);
  EXPECT_FALSE(tray.WaitingForTaskbar());
  taskbar = true;
  PumpUntil([] { return false; }, 700);
  EXPECT_TRUE(calls.empty());
}

TEST_F(TrayFixture, MouseMessagesBecomeEvents) {
  int clicks = 0, dbl = 0, popups = 0;
  std::vector<TrayButton> downs;
  tray.OnClick = [&] { ++clicks; };
  tray.OnDblClick = [&] { ++dbl; };
  tray.OnMouseDown = [&](TrayButton b, TShiftState) { downs.push_back(b); };
  tray.OnPopup = [&] { ++popups; };
  auto send = [&](UINT m, WPARAM id = 0) {
    SendMessageW(tray.Handle(), tray.CallbackMessage(), id, m);
    MSG msg;  // the menu is opened from a posted message
    while (PeekMessageW(&msg, tray.Handle(), 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  };
  for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) send(m);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(dbl, 1);
  send(WM_LBUTTONDOWN, 5);  // another icon's identifier
  EXPECT_EQ(downs.size(), 2u);
  // A menu destroyed behind the icon's back is forgotten: the right button only reports itself.
  HMENU m = CreatePopupMenu();
  tray.SetPopupMenu(m);
  DestroyMenu(m);
  send(WM_RBUTTONDOWN);
  ASSERT_EQ(downs.size(), 3u);
  EXPECT_EQ(downs[2], TrayButton::Right);
  EXPECT_EQ(popups, 0);
  EXPECT_EQ(tray.PopupMenu(), nullptr);
}

TEST_F(TrayFixture, AnimationRunsItsCyclesOnTheClockThread) {
  TAnimatedIcons frames;
  frames.Frames() = {{1, {}}, {2, {}}};  // empty frames show the still image
  tray.SetAnimation(frames);
  int ended = 0;
  tray.OnEndAnimation = [&] { ++ended; };
  tray.SetRepeatCount(2);
  tray.SetActive(true);
  tray.SetStyle(TTrayIconStyle::tsAnimated);
  EXPECT_TRUE(tray.Animation().Playing());
  ASSERT_TRUE(PumpUntil([&] { return ended > 0; }, 5000));
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(AnimationTimerPool().AnyEnabled());
  // Add, the style change, then one modify per frame shown: 2 cycles of 2 frames.
  int frameUpdates = 0;
  for (size_t i = 2; i < calls.size(); ++i) frameUpdates += calls[i].flags == NIF_ICON;
  EXPECT_EQ(frameUpdates, 4);

  tray.SetStyle(TTrayIconStyle::tsNormal);
  EXPECT_EQ(ended, 1);  // already over: no second end
  EXPECT_EQ(calls.back().icon, tray.Icon());
}

TEST(TrayIconWin, HideApplicationButtonSetsToolWindow) {
  if (!HaveDesktop()) GTEST_SKIP() << "no display";
  HWND w = CreateWindowExW(WS_EX_APPWINDOW, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  TAnimatedTrayIcon::HideApplicationButton(w);
  LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(ex & WS_EX_APPWINDOW);
  DestroyWindow(w);
}

TEST(TrayIconWin, RealShellTakesAddModifyAndDelete) {
  if (!HaveDesktop()) GTEST_SKIP() << "no display";
  TAnimatedTrayIcon tray;
  std::vector<std::pair<DWORD, BOOL>> results;
  auto real = tray.ShellNotify;
  tray.ShellNotify = [&](DWORD m, NOTIFYICONDATAW* d) {
    BOOL r = real(m, d);
    results.push_back({m, r});
    return r;
  };
  tray.SetHint("GRIV test icon");
  tray.SetActive(true);
  ASSERT_TRUE(PumpUntil([&] { return tray.IconShown(); }, 5000)) << "no task bar appeared";
  tray.SetHint("GRIV test icon, changed");
  tray.SetActive(false);
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[0], std::make_pair(static_cast<DWORD>(NIM_ADD), TRUE));
  EXPECT_EQ(results[1], std::make_pair(static_cast<DWORD>(NIM_MODIFY), TRUE));
  EXPECT_EQ(results[2], std::make_pair(static_cast<DWORD>(NIM_DELETE), TRUE));
}
