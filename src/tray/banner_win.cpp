#include "tray/banner_win.h"

#include <stdexcept>

#include "ui/app_window_win.h"
#include "ui/ui_win.h"
#include "base/handles_win.h"
#include "base/system_dll_win.h"

namespace griv {

namespace {
constexpr wchar_t kClassName[] = L"TfTop";

int MetricForDpi(int index, int dpi) {
  using Fn = int WINAPI(int, UINT);
  static const auto fn = SystemProc<Fn>(L"user32.dll", "GetSystemMetricsForDpi");
  return fn ? fn(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}
}  // namespace

void TfTop::Create(HWND mainWindow) {
  notify_ = mainWindow;
  // Owned by the main window: it stays above that window and goes with it,
  // without floating over other programs' windows.
  CreateWin({kClassName}, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 200, 18,
            mainWindow);
  RECT rc;
  GetClientRect(Handle(), &rc);
  tagline_.Create(Handle(), 0, 0, rc.right, rc.bottom);
  tagline_.SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // hand
  tagline_.OnClick = [this] { TagLinePanelClick(); };
  tagline_.SetOnTextDone([this] { TaglineTextDone(); });
  // Hidden with the main window until it is first restored: nothing scrolls.
  tagline_.SetEnabled(false);
}

void TfTop::ApplyLook(const TagLineLook& look, int nextTagToShow) {
  tagline_.SetSpeed(150);
  tagline_.SetPixelJump(4);
  tagline_.SetEdgeFadeWidth(25);
  tagline_.SetLayout(TTextLayout::tlCenter);
  tagline_.SetTextDirection(TTextDirection::tdRightToLeft);
  tagline_.SetBackgroundColor(look.backColor);
  tagline_.SetFontColor(look.fontColor);
  panelColor_ = look.backColor & 0xFFFFFF;
  look_ = look;
  SetDpi(DpiOf(notify_ ? notify_ : Handle()));
  tagline_.SetHint(look.hint, true);
  SetTagLines(look.lines, nextTagToShow);
  if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TfTop::SetDpi(int dpi) { tagline_.SetFont(look_.fontName, -Scale(11, dpi), look_.bold, look_.italic); }

void TfTop::SetTagLines(std::vector<std::string> lines, int nextTagToShow) {
  tagLines_ = std::move(lines);
  nextTagToShow_ = nextTagToShow >= 0 && static_cast<size_t>(nextTagToShow) < tagLines_.size() ? nextTagToShow : 0;
}

void TfTop::ShowNextTagLine() {
  if (tagLines_.empty()) return;
  if (nextTagToShow_ < 0 || static_cast<size_t>(nextTagToShow_) >= tagLines_.size()) nextTagToShow_ = 0;
  tagline_.SetText(tagLines_[static_cast<size_t>(nextTagToShow_)]);
  ++nextTagToShow_;
  if (static_cast<size_t>(nextTagToShow_) >= tagLines_.size()) nextTagToShow_ = 0;
}

void TfTop::TaglineTextDone() { ShowNextTagLine(); }

void TfTop::TagLinePanelClick() {
  if (!notify_) return;
  // A modal window of the program keeps the keyboard: the banner stays
  // clickable while only the window it lies on is disabled.
  if (!BringModalToFront()) {
    SetForegroundWindow(notify_);
    SetFocus(notify_);
  }
  PostMessageW(notify_, kBannerClickMessage, 0, 0);
}

void TfTop::Show() {
  if (Handle()) SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TfTop::Hide() {
  if (Handle()) ShowWindow(Handle(), SW_HIDE);
}

void TfTop::Place(int x, int y, int width, int height) {
  if (Handle()) SetWindowPos(Handle(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfTop::PlaceOver(HWND mainWindow, int leftBorder, int rightBorder) {
  RECT r;
  if (!GetWindowRect(mainWindow, &r)) return;
  const int dpi = DpiOf(mainWindow);
  const int caption = MetricForDpi(SM_CYCAPTION, dpi);
  // The sizing frame of today's systems includes the padded border.
  const int frame = MetricForDpi(SM_CYFRAME, dpi) + MetricForDpi(SM_CXPADDEDBORDER, dpi);
  BannerRect b = BannerPlacement(r.left, r.top, r.right - r.left, caption, frame, leftBorder, rightBorder);
  Place(b.left, b.top, b.width, b.height);
}

void TfTop::TagLinePanelResize() {
  // The tag line covers the panel (the whole client area) exactly.
  RECT rc;
  GetClientRect(Handle(), &rc);
  tagline_.SetBounds(0, 0, rc.right, rc.bottom);
}

LRESULT TfTop::WndProc(UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_SIZE:
      if (tagline_.Handle()) TagLinePanelResize();
      return 0;
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(Handle(), &rc);
      UniqueBrush b(CreateSolidBrush(panelColor_));
      FillRect(reinterpret_cast<HDC>(wp), &rc, b.get());
      return 1;
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONUP:
      TagLinePanelClick();
      return 0;
  }
  return DefaultProc(m, wp, lp);
}

}  // namespace griv
