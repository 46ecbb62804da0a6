#include "shell/banner_win.h"

#include <stdexcept>

#include "app/app_win.h"
#include "base/handles_win.h"

namespace griv {

namespace {
constexpr wchar_t kClassName[] = L"TfTop";

int MetricForDpi(int index, int dpi) {
  using Fn = int(WINAPI*)(int, UINT);
  static Fn fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
  return fn ? fn(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}
}  // namespace

TfTop::~TfTop() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void TfTop::Create(HWND mainWindow) {
  static const bool registered = [] {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = &TfTop::WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  (void)registered;
  notify_ = mainWindow;
  // Owned by the main window: it stays above that window and goes with it,
  // without floating over other programs' windows.
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                          200, 18, mainWindow, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd_) throw std::runtime_error("Unable to create the tag-line banner");
  RECT rc;
  GetClientRect(hwnd_, &rc);
  tagline_.Create(hwnd_, 0, 0, rc.right, rc.bottom);
  tagline_.SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // hand
  tagline_.OnClick = [this] { TagLinePanelClick(); };
  tagline_.SetOnTextDone([this] { TaglineTextDone(); });
  // Hidden with the main window until it is first restored: nothing scrolls.
  tagline_.SetEnabled(false);
}

void TfTop::ApplyBranding(const Branding& brand, int nextTagToShow) {
  tagline_.SetSpeed(150);
  tagline_.SetPixelJump(4);
  tagline_.SetEdgeFadeWidth(25);
  tagline_.SetLayout(TTextLayout::tlCenter);
  tagline_.SetTextDirection(TTextDirection::tdRightToLeft);
  tagline_.SetBackgroundColor(brand.taglineBackColor);
  tagline_.SetFontColor(brand.taglineFontColor);
  panelColor_ = brand.taglineBackColor & 0xFFFFFF;
  TagFontStyle style = TaglineFontStyle(brand.taglineFontBold, brand.taglineFontItalic);
  const int dpi = DpiOf(notify_ ? notify_ : hwnd_);
  tagline_.SetFont(brand.taglineFontName, -Scale(11, dpi), style != TagFontStyle::Italic,
                   style != TagFontStyle::Bold);
  tagline_.SetHint(brand.captionHint, true);
  SetTagLines(brand.tagLines, nextTagToShow);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

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
  SetForegroundWindow(notify_);
  SetFocus(notify_);
  PostMessageW(notify_, kBannerClickMessage, 0, 0);
}

void TfTop::Show() {
  if (hwnd_) SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TfTop::Hide() {
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void TfTop::Place(int x, int y, int width, int height) {
  if (hwnd_) SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
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
  GetClientRect(hwnd_, &rc);
  tagline_.SetBounds(0, 0, rc.right, rc.bottom);
}

LRESULT CALLBACK TfTop::WndProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<TfTop*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!self) return DefWindowProcW(h, m, wp, lp);
  if (m == WM_NCDESTROY) {
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(h, m, wp, lp);
  }
  if (!self->hwnd_) self->hwnd_ = h;
  LRESULT r = 0;
  bool ok = false;
  Guarded([&] {
    r = self->OnMessage(m, wp, lp);
    ok = true;
  });
  if (!ok && m == WM_PAINT) ValidateRect(h, nullptr);
  return r;
}

LRESULT TfTop::OnMessage(UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_SIZE:
      if (tagline_.Handle()) TagLinePanelResize();
      return 0;
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hwnd_, &rc);
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
  return DefWindowProcW(hwnd_, m, wp, lp);
}

}  // namespace griv
