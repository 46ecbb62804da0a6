#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tray/branding.h"
#include "win_test_util.h"
#include "base/utf.h"
#include "ids_shell.h"
#include "tray/about_win.h"
#include "tray/banner_win.h"
#include "ui/scrolling_text_win.h"

using namespace griv;
using griv::test::ProgramResources;

namespace {

int ScreenDpi() {
  HDC dc = GetDC(nullptr);
  int d = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  return d;
}

// A plain top-level window standing in for the main window.
struct TestWindow {
  HWND hwnd = nullptr;
  TestWindow(int x, int y, int w, int h, bool visible) {
    hwnd = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), x, y, w, h,
                           nullptr, nullptr, nullptr, nullptr);
  }
  ~TestWindow() {
    if (hwnd) DestroyWindow(hwnd);
  }
};

struct DisplayTest : ::testing::Test {
  void SetUp() override {
    if (!griv::test::HaveDesktop()) GTEST_SKIP() << "no display";
  }
};

// Steps until the text-done event fires; returns the steps taken.
int StepsOfOnePass(TALScrollingText& t) {
  bool done = false;
  int steps = 0;
  t.SetOnTextDone([&] { done = true; });
  while (!done && steps < 100000) {
    t.Step();
    ++steps;
  }
  return steps;
}

// Right to left: a pass ends when the offset wraps back to 0. The banner's
// own text-done handler stays in place.
void StepOnePass(TALScrollingText& t) {
  for (int i = 0; i < 100000; ++i) {
    t.Step();
    if (t.Offset() == 0) return;
  }
  ADD_FAILURE() << "pass never ended";
}

int CountPixels(const TALScrollingText& t, uint32_t c) {
  auto f = t.Frame();
  return static_cast<int>(std::count(f.begin(), f.end(), c));
}

}  // namespace

using ScrollingTextWinTest = DisplayTest;

TEST_F(ScrollingTextWinTest, TextShowsThroughTheStencilAndPassesTakeTheRightSteps) {
  TestWindow parent(0, 0, 400, 100, false);
  TALScrollingText t;
  t.SetSpeed(600000);  // stepped by hand only
  t.Create(parent.hwnd, 0, 0, 200, 20);
  t.SetBackgroundColor(0xA0C8FF);
  t.SetFontColor(0x008000);  // green text: the hole colour moves to red
  t.SetFont("Tahoma", -14, true, false);
  t.SetEdgeFadeWidth(0);
  t.SetText("WWWWWW");
  t.SetPixelJump(4);
  t.SetTextDirection(TTextDirection::tdRightToLeft);
  EXPECT_EQ(t.TransparentColor(), static_cast<COLORREF>(0x0000FF));
  EXPECT_EQ(t.Offset(), 0);
  // Before the text enters only the background shows.
  EXPECT_EQ(CountPixels(t, 0xA0C8FF), 200 * 20);

  // Bring the text to the middle: its letters show in the font colour.
  const int textWidth = t.StencilWidth() - 400;
  ASSERT_GT(textWidth, 20);
  while (t.Offset() > -(100 + textWidth / 2)) t.Step();
  const int text = CountPixels(t, 0x008000);
  EXPECT_GT(text, 20);
  EXPECT_EQ(text + CountPixels(t, 0xA0C8FF), 200 * 20);  // nothing else, no fringes
  EXPECT_EQ(t.Frame()[0], 0xA0C8FFu);

  // A full pass covers the measured text and the control's width.
  t.SetTextDirection(TTextDirection::tdLeftToRight);
  EXPECT_EQ(StepsOfOnePass(t), (textWidth + 200 + 3) / 4);
  EXPECT_EQ(t.Offset(), 200 - t.StencilWidth());
}

TEST_F(ScrollingTextWinTest, EdgesFadeFromTheBackgroundToTheFontColour) {
  TestWindow parent(0, 0, 400, 100, false);
  TALScrollingText t;
  t.SetSpeed(600000);
  t.Create(parent.hwnd, 0, 0, 100, 30);
  t.SetBackgroundColor(0xFFFFFF);
  t.SetFontColor(0x000000);
  t.SetEdgeFadeWidth(25);
  t.SetFont("Tahoma", -30, true, false);
  t.SetText(std::string(40, '#'));  // a wide block of ink to look through
  t.SetPixelJump(1);
  t.SetTextDirection(TTextDirection::tdRightToLeft);
  // Watch four columns while the ink crosses the strip.
  std::set<uint32_t> at0, at12, at50, at99;
  for (int k = 0; k < 400; ++k) {
    t.Step();
    auto f = t.Frame();
    ASSERT_EQ(f.size(), 100u * 30);
    for (size_t y = 0; y < 30; ++y) {
      at0.insert(f[y * 100 + 0]);
      at12.insert(f[y * 100 + 12]);
      at50.insert(f[y * 100 + 50]);
      at99.insert(f[y * 100 + 99]);
    }
  }
  // Outermost columns blend to the background itself; the middle shows the
  // font colour; step 13 of 25 is halfway.
  EXPECT_EQ(at0, std::set<uint32_t>{0xFFFFFF});
  EXPECT_EQ(at99, std::set<uint32_t>{0xFFFFFF});
  EXPECT_TRUE(at50.count(0x000000));
  EXPECT_TRUE(at12.count(0x7F7F7F));
  EXPECT_FALSE(at12.count(0x000000));
}

using BannerTest = DisplayTest;

TEST_F(BannerTest, CyclesThroughTheTagLinesOnePassEach) {
  TestWindow main(100, 100, 600, 300, false);
  TfTop banner;
  banner.Create(main.hwnd);
  TagLineLook look;
  look.lines = {"first", "second", "third"};
  banner.ApplyLook(look, 1);
  TALScrollingText& line = banner.Tagline();
  EXPECT_FALSE(line.Enabled());  // still hidden: not scrolling
  banner.SetTagLineEnabled(true);
  line.SetSpeed(600000);
  EXPECT_EQ(line.Speed(), 600000);
  EXPECT_EQ(line.PixelJump(), 4);
  EXPECT_EQ(line.EdgeFadeWidth(), 25);
  EXPECT_EQ(line.TextDirection(), TTextDirection::tdRightToLeft);
  EXPECT_EQ(line.BackgroundColor(), static_cast<COLORREF>(look.backColor));

  banner.ShowNextTagLine();
  EXPECT_EQ(line.Text(), "second");
  EXPECT_EQ(banner.NextTagToShow(), 2);
  std::vector<std::string> seen;
  for (int i = 0; i < 3; ++i) {
    StepOnePass(line);
    seen.push_back(line.Text());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"third", "first", "second"}));
  EXPECT_EQ(banner.NextTagToShow(), 2);

  // One line: the same line again after each pass; a start beyond the end starts at 0.
  banner.SetTagLines({"only"}, 5);
  EXPECT_EQ(banner.NextTagToShow(), 0);
  banner.ShowNextTagLine();
  StepOnePass(line);
  StepOnePass(line);
  EXPECT_EQ(line.Text(), "only");
  EXPECT_EQ(banner.NextTagToShow(), 0);

}

TEST_F(BannerTest, LiesOverTheTitleBarAndAClickAsksForTheWebSite) {
  TestWindow main(100, 100, 600, 300, true);
  TfTop banner;
  banner.Create(main.hwnd);
  banner.ApplyLook(TagLineLook{}, 0);
  EXPECT_EQ(GetWindow(banner.Handle(), GW_OWNER), main.hwnd);
  EXPECT_FALSE(GetWindowLongW(banner.Handle(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));

  banner.PlaceOver(main.hwnd, 200, 80);
  RECT m, b, t;
  GetWindowRect(main.hwnd, &m);
  GetWindowRect(banner.Handle(), &b);
  GetWindowRect(banner.Tagline().Handle(), &t);
  EXPECT_EQ(b.left, m.left + 200);
  EXPECT_EQ(b.right, m.right - 80);
  EXPECT_GT(b.top, m.top);
  EXPECT_GT(b.bottom, b.top);
  EXPECT_LT(b.bottom, m.top + 60);
  EXPECT_TRUE(EqualRect(&b, &t));  // the tag line fills the strip

  banner.Show();
  EXPECT_TRUE(IsWindowVisible(banner.Handle()));
  HWND line = banner.Tagline().Handle();
  SendMessageW(line, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(line, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, main.hwnd, kBannerClickMessage, kBannerClickMessage, PM_REMOVE));
  banner.Hide();
  EXPECT_FALSE(IsWindowVisible(banner.Handle()));
}

// ---------------------------------------------------------------- About box

namespace {
struct AboutTest : DisplayTest {
  HMODULE res = nullptr;
  void SetUp() override {
    DisplayTest::SetUp();
    if (IsSkipped()) return;
    res = ProgramResources();
    if (!res || !FindResourceW(res, MAKEINTRESOURCEW(IDD_ABOUT), MAKEINTRESOURCEW(5)))
      GTEST_SKIP() << "GRIV.exe with the About box's layout is not built";
  }
  void TearDown() override {
    if (res) FreeLibrary(res);
  }
};

TdlgAbout* g_box = nullptr;
std::function<void(HWND)> g_act;
void CALLBACK DriveAbout(HWND, UINT, UINT_PTR id, DWORD) {
  HWND h = g_box ? g_box->Handle() : nullptr;
  if (!h || !IsWindowVisible(h)) return;
  KillTimer(nullptr, id);
  auto act = std::move(g_act);
  act(h);
}

RECT ChildRect(HWND child, HWND box) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
  return r;
}
}  // namespace

TEST_F(AboutTest, ModalBoxLaysOutOverThePictureDragsAndOpensTheSite) {
  TestWindow owner(100, 100, 700, 500, true);
  TdlgAbout box(res, {"Grivanta", "https://www.grivanta.com"});
  std::vector<std::string> opened;
  box.OpenWebSite = [&](const std::string& s) { opened.push_back(s); };
  g_box = &box;
  g_act = [&](HWND h) {
    const int dpi = ScreenDpi();
    auto S = [&](int v) { return MulDiv(v, dpi, 96); };
    RECT rc;
    GetClientRect(h, &rc);
    EXPECT_EQ(rc.right, S(420));
    EXPECT_EQ(rc.bottom, S(230) + S(8));
    EXPECT_FALSE(GetWindowLongW(h, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
    // Centred on the owner.
    RECT w, o;
    GetWindowRect(h, &w);
    GetWindowRect(owner.hwnd, &o);
    EXPECT_NEAR((w.left + w.right) / 2, (o.left + o.right) / 2, 1);
    EXPECT_NEAR((w.top + w.bottom) / 2, (o.top + o.bottom) / 2, 1);

    HWND back = GetDlgItem(h, IDC_ABOUT_BACK);
    ASSERT_TRUE(back);
    RECT r = ChildRect(back, h);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, S(8));
    HWND version = GetDlgItem(back, IDC_ABOUT_VERSION), close = GetDlgItem(back, IDOK);
    r = ChildRect(version, h);
    EXPECT_EQ(r.left, S(242));
    EXPECT_EQ(r.top, S(8) + S(61));
    r = ChildRect(close, h);
    EXPECT_EQ(r.left, S(247));
    EXPECT_EQ(r.top, S(8) + S(134));
    wchar_t text[64] = {};
    GetWindowTextW(version, text, 64);
    EXPECT_EQ(Narrow(text), TdlgAbout::VersionCaption());
    EXPECT_EQ(Narrow(text).rfind("Ver: ", 0), 0u);

    // The band above the picture drags the box; the picture is a link.
    POINT strip{w.left + 30, w.top + 2};
    EXPECT_EQ(SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(strip.x, strip.y)), HTCAPTION);
    SendMessageW(back, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 40));
    SendMessageW(back, WM_LBUTTONUP, 0, MAKELPARAM(40, 40));
    HWND link = GetDlgItem(back, IDC_ABOUT_LINK);
    SendMessageW(back, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_LINK, STN_CLICKED), reinterpret_cast<LPARAM>(link));
    PostMessageW(close, BM_CLICK, 0, 0);
  };
  SetTimer(nullptr, 0, 20, &DriveAbout);
  box.ShowModal(owner.hwnd);
  g_box = nullptr;
  EXPECT_EQ(opened, std::vector<std::string>(2, "https://www.grivanta.com"));
  EXPECT_EQ(box.Handle(), nullptr);
}

TEST_F(AboutTest, SplashIsModelessOwnedByTheHiddenApplicationWindowCentredOnTheScreenAndCloses) {
  // An owned window gets no task-bar button: the splash must not add an empty one.
  TestWindow app(0, 0, 10, 10, false);
  TdlgAbout splash(res, {"Grivanta", "https://www.grivanta.com"});
  splash.CreateSplash(app.hwnd);
  HWND h = splash.Handle();
  ASSERT_TRUE(h);
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_EQ(GetWindow(h, GW_OWNER), app.hwnd);
  EXPECT_FALSE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  RECT w;
  GetWindowRect(h, &w);
  EXPECT_NEAR((w.left + w.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((w.top + w.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  // Its Close button ends it as well as CloseSplash does.
  SendMessageW(GetDlgItem(GetDlgItem(h, IDC_ABOUT_BACK), IDOK), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(splash.Handle(), nullptr);
  splash.CreateSplash(app.hwnd);
  h = splash.Handle();
  splash.CloseSplash();
  EXPECT_FALSE(IsWindow(h));
}
