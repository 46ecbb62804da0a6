#include "ui/speed_button_win.h"

#include <windowsx.h>

#include <cstring>
#include <vector>

#include "base/dib_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
COLORREF Mix(COLORREF a, COLORREF b, int pct) {
  return RGB((GetRValue(a) * (100 - pct) + GetRValue(b) * pct) / 100,
             (GetGValue(a) * (100 - pct) + GetGValue(b) * pct) / 100,
             (GetBValue(a) * (100 - pct) + GetBValue(b) * pct) / 100);
}
}  // namespace

void SpeedButton::Create(HWND parent, int id, const std::wstring& caption, int x, int y, int w, int h,
                         const Options& options, bool enabled) {
  id_ = id;
  options_ = options;
  if (!options_.notify) options_.notify = parent;
  CreateWin({L"GrivSpeedButton", CS_DBLCLKS}, 0, caption.c_str(), WS_CHILD | WS_VISIBLE | (enabled ? 0 : WS_DISABLED),
            x, y, w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void SpeedButton::SetGlyph(GlyphPainter painter) {
  painter_ = std::move(painter);
  InvalidateRect(Handle(), nullptr, FALSE);
}

void SpeedButton::SetBitmapGlyph(HBITMAP glyph, int size) {
  bitmap_ = glyph;
  bitmapSize_ = size;
  mask_.reset();
  if (glyph && size > 0) {
    // The transparent colour is the bottom-left pixel; the mask is black
    // where the glyph has dark pixels (the embossed disabled look).
    BITMAPINFO bi = TopDownInfo(size, size, 32);
    std::vector<uint32_t> px(static_cast<size_t>(size) * size);
    WindowDC screen(nullptr);
    if (GetDIBits(screen.get(), glyph, 0, static_cast<UINT>(size), px.data(), &bi, DIB_RGB_COLORS)) {
      const uint32_t key = px[static_cast<size_t>(size - 1) * size] & 0xFFFFFF;
      transparent_ = RGB((key >> 16) & 0xFF, (key >> 8) & 0xFF, key & 0xFF);
      // Monochrome rows are word aligned. Bit 1 = white.
      const int rowBytes = ((size + 15) / 16) * 2;
      std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * size, 0xFF);
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
          const uint32_t c = px[static_cast<size_t>(y) * size + x] & 0xFFFFFF;
          const int luma = (((c >> 16) & 0xFF) * 30 + ((c >> 8) & 0xFF) * 59 + (c & 0xFF) * 11) / 100;
          if (c != key && luma < 160) bits[static_cast<size_t>(y) * rowBytes + x / 8] &= ~(0x80 >> (x % 8));
        }
      mask_.reset(CreateBitmap(size, size, 1, 1, bits.data()));
    }
  }
  InvalidateRect(Handle(), nullptr, FALSE);
}

void SpeedButton::SetCaption(const std::wstring& caption) { SetWindowTextW(Handle(), caption.c_str()); }

void SpeedButton::SetDown(bool down) {
  if (down_ == down) return;
  down_ = down;
  InvalidateRect(Handle(), nullptr, FALSE);
}

void SpeedButton::Click() {
  if (options_.toggle) SetDown(true);
  const WPARAM wp = MAKEWPARAM(id_, BN_CLICKED);
  const LPARAM lp = reinterpret_cast<LPARAM>(Handle());
  if (options_.postClicks) PostMessageW(options_.notify, WM_COMMAND, wp, lp);
  else SendMessageW(options_.notify, WM_COMMAND, wp, lp);
}

LRESULT SpeedButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  const HWND w = Handle();
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wp);
      if (lp) InvalidateRect(w, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;  // the access key clicks it
    case WM_SETFOCUS:
      // Never keeps the focus: it goes back to where it came from.
      if (wp && IsWindow(reinterpret_cast<HWND>(wp))) SetFocus(reinterpret_cast<HWND>(wp));
      return 0;
    case BM_CLICK:
      if (Enabled()) Click();
      return 0;
    case WM_MOUSEMOVE: {
      if (!hot_) {
        hot_ = true;
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, w, 0};
        TrackMouseEvent(&t);
        InvalidateRect(w, nullptr, FALSE);
      }
      if (tracking_) {
        RECT r;
        GetClientRect(w, &r);
        const bool inside = PtInRect(&r, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}) != FALSE;
        if (inside != pressed_) {
          pressed_ = inside;
          InvalidateRect(w, nullptr, FALSE);
        }
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      hot_ = false;
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetCapture(w);
      tracking_ = pressed_ = true;
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP:
      if (tracking_) {
        const bool click = pressed_;
        ReleaseCapture();  // resets the state through WM_CAPTURECHANGED
        if (click && Enabled()) Click();
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (tracking_) {
        tracking_ = pressed_ = false;
        InvalidateRect(w, nullptr, FALSE);
      }
      return 0;
    case WM_ENABLE:
      tracking_ = pressed_ = hot_ = false;
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      const LRESULT r = DefaultProc(msg, wp, lp);
      InvalidateRect(w, nullptr, FALSE);
      return r;
    }
  }
  return WindowBase::WndProc(msg, wp, lp);
}

void SpeedButton::OnPaint(HDC target, const PAINTSTRUCT&) {
  RECT rc;
  GetClientRect(Handle(), &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;
  // Painted off screen so hovering never flickers.
  PaintBuffered(target, rc, [&](HDC dc) { PaintFace(dc, rc); });
}

void SpeedButton::PaintFace(HDC dc, const RECT& rc) {
  const bool enabled = Enabled();
  const bool sunk = (pressed_ && enabled) || down_;
  if (options_.look == Look::Push) {
    RECT frame = rc;
    DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (sunk ? DFCS_PUSHED : 0));
  } else {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    COLORREF back = face;
    if (down_) back = options_.downColor;
    else if (pressed_ && enabled) back = Mix(face, RGB(0, 0, 0), 8);
    else if (hot_ && enabled) back = Mix(face, RGB(255, 255, 255), 45);
    UniqueBrush br(CreateSolidBrush(back));
    FillRect(dc, &rc, br.get());
    if (enabled && (hot_ || pressed_ || down_)) {
      RECT edge = rc;
      DrawEdge(dc, &edge, sunk ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
  }
  RECT inner = rc;
  if (sunk) OffsetRect(&inner, 1, 1);
  const int dpi = DpiOf(Handle());
  if (painter_) {
    painter_(dc, inner, enabled, dpi);
    return;
  }
  if (bitmap_) {
    const int gs = Scale(bitmapSize_, dpi);
    const int x = inner.left + (inner.right - inner.left - gs) / 2, y = inner.top + (inner.bottom - inner.top - gs) / 2;
    UniqueMemDC mem(CreateCompatibleDC(dc));
    if (enabled) {
      SelectObj sel(mem.get(), bitmap_);
      GdiTransparentBlt(dc, x, y, gs, gs, mem.get(), 0, 0, bitmapSize_, bitmapSize_, transparent_);
    } else if (mask_) {
      // Paint through the mask: the brush where the mask is black, the
      // background where it is white.
      constexpr DWORD kBrushThroughMask = 0x00B8074A;
      SelectObj sel(mem.get(), mask_.get());
      const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0)), oldBk = SetBkColor(dc, RGB(255, 255, 255));
      {
        SelectObj br(dc, GetSysColorBrush(COLOR_3DHILIGHT));
        StretchBlt(dc, x + 1, y + 1, gs, gs, mem.get(), 0, 0, bitmapSize_, bitmapSize_, kBrushThroughMask);
      }
      {
        SelectObj br(dc, GetSysColorBrush(COLOR_3DSHADOW));
        StretchBlt(dc, x, y, gs, gs, mem.get(), 0, 0, bitmapSize_, bitmapSize_, kBrushThroughMask);
      }
      SetTextColor(dc, oldText);
      SetBkColor(dc, oldBk);
    }
    return;
  }
  wchar_t text[64];
  const int len = GetWindowTextW(Handle(), text, 64);
  if (len <= 0) return;
  UniqueFont own;
  HFONT font = font_;
  if (!font) {
    NONCLIENTMETRICSW ncm{sizeof ncm};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    ncm.lfMessageFont.lfHeight = -Scale(11, dpi);
    own.reset(CreateFontIndirectW(&ncm.lfMessageFont));
    font = own.get();
  }
  SelectObj f(dc, font);
  SetBkMode(dc, TRANSPARENT);
  const UINT fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (enabled) {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, text, len, &inner, fmt);
  } else {
    OffsetRect(&inner, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, text, len, &inner, fmt);
    OffsetRect(&inner, -1, -1);
    SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
    DrawTextW(dc, text, len, &inner, fmt);
  }
}

}  // namespace griv
