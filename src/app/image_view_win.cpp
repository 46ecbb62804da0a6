#include "app/image_view_win.h"

#include <windowsx.h>

#include <algorithm>

#include "base/dib_win.h"
#include "base/handles_win.h"
#include "base/utf.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
constexpr int kLineStepX = 4, kLineStepY = 5;
}  // namespace

void ImageView::Create(HWND parent, int id) {
  CreateWin({L"GrivScrollBox", CS_DBLCLKS}, WS_EX_CLIENTEDGE, L"", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0,
            0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
  handDrag_ = LoadCursorW(GetModuleHandleW(nullptr), L"HANDDRAG");
  UpdateScrollBars();
}

void ImageView::ShowFromStart() {
  scrollX_ = scrollY_ = 0;
  UpdateScrollBars();
  InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT ImageView::WndProc(UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_ERASEBKGND: return 1;
    case WM_SIZE:
      UpdateScrollBars();
      host_.ViewResized();
      return 0;
    case WM_HSCROLL: ScrollView(SB_HORZ, LOWORD(wp)); return 0;
    case WM_VSCROLL: ScrollView(SB_VERT, LOWORD(wp)); return 0;
    case WM_MOUSEWHEEL: {
      const int delta = GET_WHEEL_DELTA_WPARAM(wp);
      if (GET_KEYSTATE_WPARAM(wp) & MK_CONTROL) {
        wheelZoom_ += delta;
        // A step for every notch, whatever the wheel reports at a time.
        while (wheelZoom_ >= WHEEL_DELTA) host_.ZoomStep(1), wheelZoom_ -= WHEEL_DELTA;
        while (wheelZoom_ <= -WHEEL_DELTA) host_.ZoomStep(-1), wheelZoom_ += WHEEL_DELTA;
        return 0;
      }
      // Three lines a notch in one move: the bar is drawn once, not three times.
      ScrollView(SB_VERT, delta > 0 ? SB_LINEUP : SB_LINEDOWN, 3);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // a quick second click (the next number, a new mark) is a press like any other
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      host_.TakeFocus();
      const int x = GET_X_LPARAM(lp) + scrollX_, y = GET_Y_LPARAM(lp) + scrollY_;
      const Picture& shown = doc_.ShownImage();
      if (x < shown.width && y < shown.height) {
        const int button = m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK ? 0 : m == WM_RBUTTONDOWN ? 1 : 2;
        if (!host_.Image1MouseDown(button, x, y) && button == 0) StartPan(x, y);
        else if (MarkDrag()) SetCapture(Handle());
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (MarkDrag()) markup_->MouseMove(GET_X_LPARAM(lp) + scrollX_, GET_Y_LPARAM(lp) + scrollY_);
      else Pan(GET_X_LPARAM(lp) + scrollX_, GET_Y_LPARAM(lp) + scrollY_);
      return 0;
    case WM_LBUTTONUP:
      if (MarkDrag()) markup_->MouseUp(GET_X_LPARAM(lp) + scrollX_, GET_Y_LPARAM(lp) + scrollY_);
      EndPan();
      // Also after a mark that a key (Esc, Ctrl+Z) dropped while the button was down.
      if (GetCapture() == Handle()) ReleaseCapture();
      return 0;
    case WM_MBUTTONUP: EndPan(); return 0;
    case WM_RBUTTONUP: EndPan(); return DefaultProc(m, wp, lp);  // brings the image menu
    case WM_CONTEXTMENU: {
      POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (pt.x == -1 && pt.y == -1) {  // from the keyboard
        pt = {0, 0};
        ClientToScreen(Handle(), &pt);
      }
      host_.ShowImageMenu(pt);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (Panning()) EndPan();
      if (MarkDrag()) markup_->DragLost();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && Panning() && handDrag_) {
        SetCursor(handDrag_);
        return TRUE;
      }
      if (LOWORD(lp) == HTCLIENT && markup_)
        if (HCURSOR tool = markup_->Cursor()) {
          SetCursor(tool);
          return TRUE;
        }
      break;
  }
  return WindowBase::WndProc(m, wp, lp);
}

void ImageView::OnPaint(HDC dc, const PAINTSTRUCT& ps) {
  RECT rc;
  GetClientRect(Handle(), &rc);
  const Picture& shown = doc_.ShownImage();
  // Background around the picture, without painting under it (no flicker).
  {
    UniqueRegion rest(CreateRectRgnIndirect(&rc));
    if (!shown.Empty()) {
      UniqueRegion pic(CreateRectRgn(-scrollX_, -scrollY_, shown.width - scrollX_, shown.height - scrollY_));
      CombineRgn(rest.get(), rest.get(), pic.get(), RGN_DIFF);
    }
    FillRgn(dc, rest.get(), GetSysColorBrush(COLOR_BTNFACE));
  }
  if (shown.Empty()) {
    // An empty window says how to fill it.
    const std::wstring text = Widen(host_.EmptyViewText());
    NONCLIENTMETRICSW ncm{sizeof ncm};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    ncm.lfMessageFont.lfHeight = -Scale(12, DpiOf(Handle()));
    UniqueFont font(CreateFontIndirectW(&ncm.lfMessageFont));
    SelectObj f(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    RECT r = rc;
    DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    return;
  }
  // The marks paint the picture under them too, only where asked.
  const PixelBox area = Intersect({ps.rcPaint.left + scrollX_, ps.rcPaint.top + scrollY_, ps.rcPaint.right + scrollX_,
                                   ps.rcPaint.bottom + scrollY_},
                                  {0, 0, shown.width, shown.height});
  if (markup_ && !area.Empty() && markup_->Paint(dc, area.left - scrollX_, area.top - scrollY_, area)) return;
  if (area.Empty()) return;
  if (HBITMAP bitmap = PictureBitmap(shown)) {
    // A grab shown at 1:1 lives in a bitmap of its own: copied as it is, no
    // conversion of its pixels on the way.
    UniqueMemDC mem(CreateCompatibleDC(dc));
    SelectObj sel(mem.get(), bitmap);
    BitBlt(dc, area.left - scrollX_, area.top - scrollY_, area.Width(), area.Height(), mem.get(), area.left, area.top,
           SRCCOPY);
    return;
  }
  // Only the part to paint is handed to GDI: a scroll step paints a strip,
  // and converting all of a large picture's rows in view would cost more than the step.
  const int rows = area.bottom - area.top;
  // 24 bits a pixel, or 32 at 1:1 where the view is the full image itself.
  BITMAPINFO bi = TopDownInfo(shown.width, rows, shown.bpp);
  SetDIBitsToDevice(dc, area.left - scrollX_, area.top - scrollY_, static_cast<DWORD>(area.right - area.left),
                    static_cast<DWORD>(rows), area.left, 0, 0, static_cast<UINT>(rows), shown.Row(area.top), &bi,
                    DIB_RGB_COLORS);
}

void ImageView::UpdateScrollBars() {
  if (!Handle()) return;
  RECT rc;
  GetClientRect(Handle(), &rc);
  const Picture& shown = doc_.ShownImage();
  SCROLLINFO si{sizeof si};
  // A bar shows only while the picture is larger than the view that way.
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(0, shown.width - 1);
  si.nPage = static_cast<UINT>(rc.right);
  scrollX_ = std::clamp(scrollX_, 0, std::max(0, shown.width - static_cast<int>(rc.right)));
  si.nPos = scrollX_;
  SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
  si.nMax = std::max(0, shown.height - 1);
  si.nPage = static_cast<UINT>(rc.bottom);
  scrollY_ = std::clamp(scrollY_, 0, std::max(0, shown.height - static_cast<int>(rc.bottom)));
  si.nPos = scrollY_;
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
}

void ImageView::ScrollView(int bar, int code, int lines) {
  SCROLLINFO si{sizeof si};
  si.fMask = SIF_ALL;
  GetScrollInfo(Handle(), bar, &si);
  const int step = (bar == SB_HORZ ? kLineStepX : kLineStepY) * lines;
  int pos = bar == SB_HORZ ? scrollX_ : scrollY_;
  switch (code) {
    case SB_LINELEFT: pos -= step; break;
    case SB_LINERIGHT: pos += step; break;
    case SB_PAGELEFT: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGERIGHT: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_LEFT: pos = 0; break;
    case SB_RIGHT: pos = si.nMax; break;
    default: return;
  }
  pos = std::clamp(pos, 0, std::max(0, si.nMax - static_cast<int>(si.nPage) + 1));
  int& cur = bar == SB_HORZ ? scrollX_ : scrollY_;
  if (pos == cur) return;
  const int delta = cur - pos;
  cur = pos;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(Handle(), bar, &si, TRUE);
  ScrollWindowEx(Handle(), bar == SB_HORZ ? delta : 0, bar == SB_VERT ? delta : 0, nullptr, nullptr, nullptr, nullptr,
                 SW_INVALIDATE);
  UpdateWindow(Handle());
}

void ImageView::RepaintPicture(const PixelBox& a) {
  const RECT r{a.left - scrollX_, a.top - scrollY_, a.right - scrollX_, a.bottom - scrollY_};
  InvalidateRect(Handle(), &r, FALSE);
}

void ImageView::RefreshCursor() {
  POINT pt;
  RECT rc;
  GetCursorPos(&pt);
  GetWindowRect(Handle(), &rc);
  if (!PtInRect(&rc, pt)) return;
  HCURSOR tool = markup_ ? markup_->Cursor() : nullptr;
  SetCursor(tool ? tool : LoadCursorW(nullptr, IDC_ARROW));
}

// ---------------------------------------------------------------- panning

void ImageView::StartPan(int x, int y) {
  if (host_.CropMode()) return;
  RECT outer;
  GetWindowRect(Handle(), &outer);
  const Picture& shown = doc_.ShownImage();
  if (shown.height > outer.bottom - outer.top || shown.width > outer.right - outer.left) {
    panLastX_ = x;
    panLastY_ = y;
    SetCapture(Handle());
    if (handDrag_) SetCursor(handDrag_);
  } else {
    panLastX_ = -1;
  }
}

void ImageView::Pan(int x, int y) {
  if (!Panning() || host_.CropMode()) return;
  // Moving the mouse right scrolls the view right: the picture moves left under the pointer.
  if (std::abs(panLastX_ - x) >= 3) SendMessageW(Handle(), WM_HSCROLL, x > panLastX_ ? SB_LINERIGHT : SB_LINELEFT, 0);
  panLastX_ = x;
  ProcessMessages();
  if (!Panning()) return;  // the button came up meanwhile
  if (std::abs(panLastY_ - y) >= 3) SendMessageW(Handle(), WM_VSCROLL, y > panLastY_ ? SB_LINEDOWN : SB_LINEUP, 0);
  panLastY_ = y;
  ProcessMessages();
}

void ImageView::EndPan() {
  const bool panning = Panning();
  panLastX_ = panLastY_ = -1;
  if (panning && GetCapture() == Handle()) ReleaseCapture();
  host_.Image1MouseUp();
}

}  // namespace griv
