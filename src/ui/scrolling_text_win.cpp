#include "ui/scrolling_text_win.h"

#include "base/dib_win.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "ui/ui_win.h"
#include "base/utf.h"

namespace griv {

namespace {
constexpr wchar_t kClassName[] = L"TALScrollingText";
constexpr UINT_PTR kStepTimer = 1;

void FillSolid(HDC dc, const RECT& r, COLORREF c) {
  UniqueBrush b(CreateSolidBrush(c));
  FillRect(dc, &r, b.get());
}
}  // namespace

TALScrollingText::TALScrollingText() : model_(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT)) {}

void TALScrollingText::Create(HWND parent, int x, int y, int width, int height) {
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (model_.Visible() ? WS_VISIBLE : 0);
  CreateWin({kClassName}, 0, L"", style, x, y, width, height, parent);
  if (!font_) {
    const int dpi = DpiOf(parent);
    SetFont("Tahoma", -Scale(11, dpi), false, false);
  }
  Rebuild();
  model_.ResetOffset();
  Compose();
  UpdateTimer();
}

void TALScrollingText::SetBounds(int x, int y, int width, int height) {
  if (Handle()) SetWindowPos(Handle(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TALScrollingText::SetText(const std::string& text) {
  if (model_.SetText(text)) Rebuild();
}

void TALScrollingText::SetSpeed(int ms) {
  model_.SetSpeed(ms);
  if (timerOn_) SetTimer(Handle(), kStepTimer, static_cast<UINT>(model_.Speed()), nullptr);
}

void TALScrollingText::SetEdgeFadeWidth(int px) {
  if (model_.SetEdgeFadeWidth(px)) Rebuild();
}

void TALScrollingText::SetBackgroundColor(COLORREF c) {
  if (model_.SetBackgroundColor(c)) Rebuild();
}

void TALScrollingText::SetFontColor(COLORREF c) {
  if (model_.SetFontColor(c)) Rebuild();
}

void TALScrollingText::SetFont(const std::string& face, int height, bool bold, bool italic) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  // Smoothed edges would leave pixels that are neither the hole colour nor
  // the background, a fringe around every letter.
  lf.lfQuality = NONANTIALIASED_QUALITY;
  std::wstring w = Widen(face);
  wcsncpy(lf.lfFaceName, w.c_str(), LF_FACESIZE - 1);
  HFONT f = CreateFontIndirectW(&lf);
  if (!f) return;
  font_.reset(f);
  Rebuild();
}

void TALScrollingText::SetLayout(TTextLayout l) {
  if (model_.SetLayout(l)) Rebuild();
}

void TALScrollingText::SetTextDirection(TTextDirection d) {
  if (model_.SetTextDirection(d)) Rebuild();
}

void TALScrollingText::SetVisible(bool v) {
  model_.SetVisible(v);
  if (Handle()) ShowWindow(Handle(), v ? SW_SHOWNA : SW_HIDE);
  UpdateTimer();
}

void TALScrollingText::SetEnabled(bool e) {
  model_.SetEnabled(e);
  UpdateTimer();
}

void TALScrollingText::SetHint(const std::string& hint, bool show) {
  if (!Handle()) return;
  std::wstring text = Widen(hint);
  if (!tip_) {
    tip_ = CreateHintWindow(Handle());
    if (!tip_) return;
    AddHint(tip_, Handle(), Handle(), text.c_str());
  } else {
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = Handle();
    ti.uId = reinterpret_cast<UINT_PTR>(Handle());
    ti.lpszText = text.data();
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  SendMessageW(tip_, TTM_ACTIVATE, show && !text.empty(), 0);
}

void TALScrollingText::Step() {
  if (!model_.Tick()) return;
  Compose();
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

std::vector<uint32_t> TALScrollingText::Frame() const {
  const int w = model_.ControlWidth(), h = model_.ControlHeight();
  if (!buffer_ || w <= 0 || h <= 0) return {};
  std::vector<uint32_t> px(static_cast<size_t>(w) * h);
  BITMAPINFO bi = TopDownInfo(w, h, 32);
  WindowDC screen(nullptr);
  if (!GetDIBits(screen.get(), buffer_.get(), 0, static_cast<UINT>(h), px.data(), &bi, DIB_RGB_COLORS)) return {};
  // DIB order is B, G, R in memory; colours are R, G, B from the low byte.
  for (uint32_t& p : px) p = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
  return px;
}

HFONT TALScrollingText::Font() const {
  return font_ ? font_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void TALScrollingText::Rebuild() {
  if (!Handle()) return;
  RECT rc;
  GetClientRect(Handle(), &rc);
  const int cw = rc.right, ch = rc.bottom;
  WindowDC screen(nullptr);
  UniqueMemDC dc(CreateCompatibleDC(screen.get()));
  std::wstring text = Widen(model_.Text());
  SIZE sz{};
  {
    SelectObj f(dc.get(), Font());
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &sz);
  }
  model_.SetMetrics(cw, ch, sz.cx, sz.cy);
  stencil_.reset();
  fade_.reset();
  buffer_.reset();
  if (cw <= 0 || ch <= 0) return;

  // Stencil: the background with the text as a hole in the transparent colour.
  const int sw = model_.StencilWidth();
  stencil_.reset(CreateCompatibleBitmap(screen.get(), sw, ch));
  if (stencil_) {
    SelectObj b(dc.get(), stencil_.get());
    SelectObj f(dc.get(), Font());
    FillSolid(dc.get(), RECT{0, 0, sw, ch}, model_.BackgroundColor());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), model_.TransparentColor());
    TextOutW(dc.get(), model_.TextX(), model_.TextY(), text.c_str(), static_cast<int>(text.size()));
  }
  // Fade background: the font colour, blending into the background at both ends.
  fade_.reset(CreateCompatibleBitmap(screen.get(), cw, ch));
  if (fade_) {
    SelectObj b(dc.get(), fade_.get());
    FillSolid(dc.get(), RECT{0, 0, cw, ch}, model_.FontColor());
    for (const FadeLine& l : model_.Fade()) FillSolid(dc.get(), RECT{l.x, 0, l.x + 1, ch}, l.color);
  }
  buffer_.reset(CreateCompatibleBitmap(screen.get(), cw, ch));
  Compose();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TALScrollingText::Compose() {
  if (!buffer_ || !fade_ || !stencil_) return;
  const int cw = model_.ControlWidth(), ch = model_.ControlHeight();
  WindowDC screen(nullptr);
  UniqueMemDC dst(CreateCompatibleDC(screen.get()));
  UniqueMemDC src(CreateCompatibleDC(screen.get()));
  SelectObj db(dst.get(), buffer_.get());
  {
    SelectObj sb(src.get(), fade_.get());
    BitBlt(dst.get(), 0, 0, cw, ch, src.get(), 0, 0, SRCCOPY);
  }
  SelectObj sb(src.get(), stencil_.get());
  // The stencil at (offset, 0) is the stencil's columns -offset .. -offset+cw.
  const int sx = std::clamp(-model_.Offset(), 0, std::max(model_.StencilWidth() - cw, 0));
  GdiTransparentBlt(dst.get(), 0, 0, cw, ch, src.get(), sx, 0, cw, ch, model_.TransparentColor());
}

void TALScrollingText::UpdateTimer() {
  const bool want = Handle() && model_.Enabled();
  if (want && !timerOn_) {
    SetTimer(Handle(), kStepTimer, static_cast<UINT>(model_.Speed()), nullptr);
    timerOn_ = true;
  } else if (!want && timerOn_) {
    if (Handle()) KillTimer(Handle(), kStepTimer);
    timerOn_ = false;
  }
}

void TALScrollingText::OnFinalMessage() {
  timerOn_ = false;
  tip_ = nullptr;  // owned by the window, gone with it
}

LRESULT TALScrollingText::WndProc(UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_TIMER:
      if (wp == kStepTimer) Step();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      if (buffer_) {
        UniqueMemDC src(CreateCompatibleDC(dc));
        SelectObj sb(src.get(), buffer_.get());
        BitBlt(dc, 0, 0, model_.ControlWidth(), model_.ControlHeight(), src.get(), 0, 0, SRCCOPY);
      } else {
        FillSolid(dc, ps.rcPaint, model_.BackgroundColor());
      }
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_SIZE:
      Rebuild();
      return 0;
    case WM_SETCURSOR:
      if (cursor_ && LOWORD(lp) == HTCLIENT) {
        ::SetCursor(cursor_);
        return TRUE;
      }
      break;
  }
  if (click_.OnMessage(Handle(), m, lp, [this] {
        if (OnClick) OnClick();
      }))
    return 0;
  return DefaultProc(m, wp, lp);
}

}  // namespace griv
