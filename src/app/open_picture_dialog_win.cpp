#include "app/open_picture_dialog_win.h"

#include "app/file_dialogs_win.h"
#include "base/dib_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "../../resources/ids_opendlg.h"
#include "app/app_win.h"
#include "app/image_files.h"
#include "base/file_io.h"
#include "base/handles_win.h"
#include "base/utf.h"

namespace griv {

namespace {

constexpr wchar_t kPanelClass[] = L"GrivPicturePanel";
constexpr wchar_t kPaintBoxClass[] = L"GrivPicturePaintBox";
constexpr wchar_t kSpeedButtonClass[] = L"GrivPictureButton";
constexpr wchar_t kPreviewFormClass[] = L"GrivPreviewForm";
constexpr wchar_t kPreviewPanelClass[] = L"GrivPreviewPanel";

constexpr UINT kRelayoutMessage = WM_APP + 0x31;

// Layout at 96 DPI.
constexpr int kPanelBorder = 6;
constexpr int kPanelTopGap = 4;
constexpr int kPreviewW = 23, kPreviewH = 22;
constexpr int kDeleteW = 55, kDeleteH = 23;
constexpr int kButtonGap = 2;
constexpr int kLabelRow = kDeleteH + 2;
constexpr int kGlyphSize = 16;
constexpr int kPreviewFormBorder = 5;
constexpr int kEmptyPreviewW = 320, kEmptyPreviewH = 240;

HINSTANCE CodeModule() { return GetModuleHandleW(nullptr); }

// Keeps the pointer handed to CreateWindowEx with the window.
void BindCreateParam(HWND hwnd, LPARAM lParam) {
  SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                    reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
}

// ---------------------------------------------------------------------------
// Speed button: a push button that never keeps the focus, with a glyph or a
// caption, that reports clicks to its parent as BN_CLICKED.

struct SpeedButton {
  HBITMAP glyph = nullptr;  // not owned
  UniqueBitmap mask;        // black where the glyph has dark pixels (disabled look)
  COLORREF transparent = 0;
  HFONT font = nullptr;
  bool tracking = false, pressed = false;
};

// Mask of the glyph's dark pixels (the embossed disabled look) and its
// transparent colour, taken from the bottom-left pixel.
void PrepareGlyph(SpeedButton& b) {
  BITMAPINFO bi = TopDownInfo(kGlyphSize, kGlyphSize, 32);
  uint32_t px[kGlyphSize * kGlyphSize] = {};
  WindowDC screen(nullptr);
  if (!GetDIBits(screen.get(), b.glyph, 0, kGlyphSize, px, &bi, DIB_RGB_COLORS)) return;
  const uint32_t key = px[(kGlyphSize - 1) * kGlyphSize] & 0xFFFFFF;
  b.transparent = RGB((key >> 16) & 0xFF, (key >> 8) & 0xFF, key & 0xFF);
  // Monochrome rows are word aligned: two bytes for 16 pixels. Bit 1 = white.
  uint8_t bits[kGlyphSize * 2];
  std::memset(bits, 0xFF, sizeof bits);
  for (int y = 0; y < kGlyphSize; ++y)
    for (int x = 0; x < kGlyphSize; ++x) {
      const uint32_t c = px[y * kGlyphSize + x] & 0xFFFFFF;
      const int luma = (((c >> 16) & 0xFF) * 30 + ((c >> 8) & 0xFF) * 59 + (c & 0xFF) * 11) / 100;
      if (c != key && luma < 160) bits[y * 2 + x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
    }
  b.mask.reset(CreateBitmap(kGlyphSize, kGlyphSize, 1, 1, bits));
}

void PaintSpeedButton(HWND hwnd, SpeedButton& b) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  const bool enabled = IsWindowEnabled(hwnd);
  const bool down = b.pressed && enabled;
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
  const int shift = down ? 1 : 0;
  const int dpi = DpiOf(hwnd);
  if (b.glyph) {
    const int gs = Scale(kGlyphSize, dpi);
    const int x = (r.right - gs) / 2 + shift, y = (r.bottom - gs) / 2 + shift;
    UniqueMemDC mem(CreateCompatibleDC(dc));
    if (enabled) {
      SelectObj sel(mem.get(), b.glyph);
      TransparentBlt(dc, x, y, gs, gs, mem.get(), 0, 0, kGlyphSize, kGlyphSize, b.transparent);
    } else if (b.mask) {
      // Paint through the mask: the brush where the mask is black, the
      // background where it is white.
      constexpr DWORD kBrushThroughMask = 0x00B8074A;
      SelectObj sel(mem.get(), b.mask.get());
      const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0)), oldBk = SetBkColor(dc, RGB(255, 255, 255));
      {
        SelectObj br(dc, GetSysColorBrush(COLOR_3DHILIGHT));
        StretchBlt(dc, x + 1, y + 1, gs, gs, mem.get(), 0, 0, kGlyphSize, kGlyphSize, kBrushThroughMask);
      }
      {
        SelectObj br(dc, GetSysColorBrush(COLOR_3DSHADOW));
        StretchBlt(dc, x, y, gs, gs, mem.get(), 0, 0, kGlyphSize, kGlyphSize, kBrushThroughMask);
      }
      SetTextColor(dc, oldText);
      SetBkColor(dc, oldBk);
    }
  } else {
    wchar_t text[64];
    const int len = GetWindowTextW(hwnd, text, 64);
    SelectObj f(dc, b.font ? b.font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    const UINT fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    RECT t = r;
    OffsetRect(&t, shift, shift);
    if (enabled) {
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      DrawTextW(dc, text, len, &t, fmt);
    } else {
      OffsetRect(&t, 1, 1);
      SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
      DrawTextW(dc, text, len, &t, fmt);
      OffsetRect(&t, -1, -1);
      SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
      DrawTextW(dc, text, len, &t, fmt);
    }
  }
  EndPaint(hwnd, &ps);
}

void NotifyClick(HWND hwnd) {
  SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
               reinterpret_cast<LPARAM>(hwnd));
}

LRESULT CALLBACK SpeedButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* b = reinterpret_cast<SpeedButton*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_NCCREATE: {
      auto* s = new SpeedButton;
      s->glyph = static_cast<HBITMAP>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      if (s->glyph) PrepareGlyph(*s);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));
      break;
    }
    case WM_NCDESTROY:
      delete b;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    case WM_SETFONT:
      if (b) b->font = reinterpret_cast<HFONT>(wParam);
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return b ? reinterpret_cast<LRESULT>(b->font) : 0;
    case WM_GETDLGCODE:
      return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;  // the access key clicks it
    case WM_SETFOCUS:
      if (wParam && IsWindow(reinterpret_cast<HWND>(wParam))) SetFocus(reinterpret_cast<HWND>(wParam));
      return 0;
    case BM_CLICK:
      if (IsWindowEnabled(hwnd)) NotifyClick(hwnd);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (b) {
        SetCapture(hwnd);
        b->tracking = b->pressed = true;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (b && b->tracking) {
        RECT r;
        GetClientRect(hwnd, &r);
        const bool inside = PtInRect(&r, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
        if (inside != b->pressed) {
          b->pressed = inside;
          InvalidateRect(hwnd, nullptr, FALSE);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (b && b->tracking) {
        const bool click = b->pressed;
        ReleaseCapture();  // resets the state through WM_CAPTURECHANGED
        if (click) NotifyClick(hwnd);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (b && b->tracking) {
        b->tracking = b->pressed = false;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_ENABLE:
      if (b) b->pressed = b->tracking = false;
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return r;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      if (b) {
        PaintSpeedButton(hwnd, *b);
        return 0;
      }
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The 16 x 16 glyph when the resource module has none: a magnifying glass
// on the transparent grey of the bottom-left pixel.
HBITMAP DrawFallbackGlyph() {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = kGlyphSize;
  bi.bmiHeader.biHeight = kGlyphSize;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp) return nullptr;
  UniqueMemDC mem(CreateCompatibleDC(nullptr));
  SelectObj sel(mem.get(), bmp);
  RECT all{0, 0, kGlyphSize, kGlyphSize};
  UniqueBrush grey(CreateSolidBrush(RGB(192, 192, 192)));
  FillRect(mem.get(), &all, grey.get());
  UniqueBrush lens(CreateSolidBrush(RGB(230, 240, 255)));
  UniquePen black(CreatePen(PS_SOLID, 2, RGB(0, 0, 0)));
  {
    SelectObj p(mem.get(), black.get());
    SelectObj br(mem.get(), lens.get());
    Ellipse(mem.get(), 2, 2, 12, 12);
    MoveToEx(mem.get(), 10, 10, nullptr);
    LineTo(mem.get(), 14, 14);
  }
  GdiFlush();
  return bmp;
}

// ---------------------------------------------------------------------------
// Preview window: the picture at its own size inside a 5-pixel border.

struct PreviewForm {
  const Picture* pic = nullptr;
  Picture scaled;
  HWND panel = nullptr;
  int border = kPreviewFormBorder;
  POINT minTrack{0, 0};  // small enough for a tiny picture at its own size
  bool done = false;
};

LRESULT CALLBACK PreviewPanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    auto* f = reinterpret_cast<PreviewForm*>(GetWindowLongPtrW(GetParent(hwnd), GWLP_USERDATA));
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    if (f && f->pic && !f->pic->Empty()) {
      InflateRect(&r, -f->border, -f->border);
      if (r.right > r.left && r.bottom > r.top) DrawPicture(dc, *f->pic, r, f->scaled);
    }
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK PreviewFormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* f = reinterpret_cast<PreviewForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_NCCREATE:
      BindCreateParam(hwnd, lParam);
      break;
    case WM_GETMINMAXINFO:
      if (f && f->minTrack.x > 0) reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = f->minTrack;
      return 0;
    case WM_SIZE:
      if (f && f->panel) MoveWindow(f->panel, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      InvalidateRect(f && f->panel ? f->panel : hwnd, nullptr, FALSE);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        if (f) f->done = true;
        return 0;
      }
      break;
    case WM_CLOSE:
      if (f) f->done = true;
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RegisterClassOnce(const wchar_t* name, WNDPROC proc, UINT style, int brush) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(CodeModule(), name, &wc)) return;
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = CodeModule();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = brush >= 0 ? GetSysColorBrush(brush) : nullptr;
  wc.lpszClassName = name;
  if (!RegisterClassExW(&wc)) throw std::runtime_error("Unable to register the open dialog's window classes");
}

// Shows the picture modally in a sizeable tool window centred on the owner's
// monitor; Esc or the close box ends it.
void ShowPreviewWindow(HWND owner, const Picture& pic, int dpi) {
  RegisterClassOnce(kPreviewFormClass, PreviewFormProc, 0, COLOR_WINDOW);
  RegisterClassOnce(kPreviewPanelClass, PreviewPanelProc, CS_HREDRAW | CS_VREDRAW, -1);
  PreviewForm form;
  form.pic = &pic;
  form.border = Scale(kPreviewFormBorder, dpi);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_TOOLWINDOW;
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &mi);
  const RECT work = mi.rcWork;
  const int workW = work.right - work.left, workH = work.bottom - work.top;

  // The frame around the picture: the form's borders, the panel's single
  // border and its inner border.
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int extraW = (frame.right - frame.left) + 2 * GetSystemMetrics(SM_CXBORDER) + 2 * form.border;
  const int extraH = (frame.bottom - frame.top) + 2 * GetSystemMetrics(SM_CYBORDER) + 2 * form.border;
  form.minTrack = POINT{extraW + 1, extraH + 1};
  int w, h;
  if (pic.Empty()) {
    w = Scale(kEmptyPreviewW, dpi);
    h = Scale(kEmptyPreviewH, dpi);
  } else {
    int64_t iw = pic.width, ih = pic.height;
    // A picture larger than the work area is shown reduced, keeping its shape.
    const int64_t availW = std::max(1, workW - extraW), availH = std::max(1, workH - extraH);
    if (iw > availW || ih > availH) {
      if (iw * availH > ih * availW) {
        ih = std::max<int64_t>(1, ih * availW / iw);
        iw = availW;
      } else {
        iw = std::max<int64_t>(1, iw * availH / ih);
        ih = availH;
      }
    }
    w = int(iw) + extraW;
    h = int(ih) + extraH;
  }
  const int x = work.left + (workW - w) / 2, y = work.top + (workH - h) / 2;

  HWND hwnd = CreateWindowExW(exStyle, kPreviewFormClass, L"Preview", style, x, y, w, h, owner, nullptr,
                              CodeModule(), &form);
  if (!hwnd) throw std::runtime_error("Unable to create the preview window");
  // Again, now that the window knows its smaller minimum (asked before WM_NCCREATE).
  SetWindowPos(hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(hwnd, &client);
  form.panel = CreateWindowExW(0, kPreviewPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, client.right,
                               client.bottom, hwnd, reinterpret_cast<HMENU>(IDC_OPENDLG_PREVIEWPANEL), CodeModule(),
                               nullptr);
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  SetFocus(hwnd);
  MSG m;
  while (!form.done && IsWindow(hwnd)) {
    const BOOL r = GetMessageW(&m, nullptr, 0, 0);
    if (r == 0) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (r < 0) break;
    if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE && (m.hwnd == hwnd || IsChild(hwnd, m.hwnd))) {
      form.done = true;
      continue;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  // Give the owner back its input before the window goes, so it is activated again.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  if (IsWindow(hwnd)) DestroyWindow(hwnd);
}

// The child template in memory, for a resource module without "DLGTEMPLATE":
// the same size and the same stc32 placeholder.
std::vector<uint8_t> BuildChildTemplate() {
  std::vector<uint8_t> t;
  auto word = [&](uint16_t v) {
    t.push_back(uint8_t(v));
    t.push_back(uint8_t(v >> 8));
  };
  auto dword = [&](uint32_t v) {
    word(uint16_t(v));
    word(uint16_t(v >> 16));
  };
  auto text = [&](const wchar_t* s) {
    do word(uint16_t(*s));
    while (*s++);
  };
  dword(DS_3DLOOK | DS_CONTROL | DS_SETFONT | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
  dword(0);
  word(1);  // one control
  word(0);
  word(0);
  word(OPENDLG_TEMPLATE_W);
  word(OPENDLG_TEMPLATE_H);
  word(0);  // no menu
  word(0);  // standard class
  word(0);  // no title
  word(8);
  text(L"MS Shell Dlg");
  while (t.size() % 4) t.push_back(0);
  dword(SS_LEFT | WS_CHILD | WS_VISIBLE | WS_GROUP);
  dword(0);
  word(0);
  word(0);
  word(OPENDLG_STC32_W);
  word(OPENDLG_TEMPLATE_H);
  word(stc32);
  word(0xFFFF);
  word(0x0082);  // STATIC
  word(0);       // no text
  word(0);       // no creation data
  return t;
}

// w's rectangle in ref's client coordinates.
RECT RectIn(HWND w, HWND ref) {
  RECT r;
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, ref, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HFONT FontOf(HWND w) { return reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)); }

}  // namespace

// ---------------------------------------------------------------------------
// PicturePreview

bool PicturePreview::Load(const std::string& fileName) {
  Clear();
  pic_ = LoadPreviewPicture(fileName);
  return HasPicture();
}

std::string PicturePreview::Label() const {
  return HasPicture() ? PreviewLabelText(pic_.width, pic_.height) : std::string(kPreviewNoPictureLabel);
}

void DrawPicture(HDC dc, const Picture& pic, const RECT& r, Picture& cache) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (pic.Empty() || w <= 0 || h <= 0 || pic.pixels.size() < size_t(pic.Stride()) * size_t(pic.height)) return;
  const Picture* shown = &pic;
  if (w != pic.width || h != pic.height) {
    if (cache.width != w || cache.height != h) cache = ScalePicture(pic, w, h);
    shown = &cache;
  }
  PictureInfo bi;
  FillPictureInfo(*shown, bi);
  SetDIBitsToDevice(dc, r.left, r.top, DWORD(w), DWORD(h), 0, 0, 0, UINT(h), shown->pixels.data(),
                    reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
}

void PicturePreview::Paint(HDC dc, const RECT& r, COLORREF back) const {
  UniqueBrush brush(CreateSolidBrush(back));
  FillRect(dc, &r, brush.get());
  const int bw = r.right - r.left, bh = r.bottom - r.top;
  if (!HasPicture()) {
    RECT t = r;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, L"(None)", -1, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    return;
  }
  const PreviewPlacement p = PreviewFit(pic_.width, pic_.height, bw, bh);
  if (p.width <= 0 || p.height <= 0) return;
  const RECT dst{r.left + p.x, r.top + p.y, r.left + p.x + p.width, r.top + p.y + p.height};
  DrawPicture(dc, pic_, dst, scaled_);
}

// ---------------------------------------------------------------------------
// TOpenPictureDialog2

TOpenPictureDialog2::~TOpenPictureDialog2() {
  if (glyph_) DeleteObject(glyph_);
}

bool TOpenPictureDialog2::Execute(HWND owner, const std::string& initialDir, const std::string& filter,
                                  int filterIndex, std::string& fileName) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterClassOnce(kPanelClass, &TOpenPictureDialog2::PanelProc, 0, COLOR_BTNFACE);
  RegisterClassOnce(kPaintBoxClass, &TOpenPictureDialog2::PaintBoxProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, -1);
  RegisterClassOnce(kSpeedButtonClass, SpeedButtonProc, 0, -1);
  const HINSTANCE res = resModule_ ? resModule_ : CodeModule();

  if (!glyph_) {
    glyph_ = static_cast<HBITMAP>(LoadImageW(res, L"PREVIEWGLYPH", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!glyph_) glyph_ = DrawFallbackGlyph();
  }

  const std::wstring wfilter = filter.empty() ? std::wstring() : DialogFilter(filter);
  const std::wstring dir = Widen(initialDir);
  std::vector<wchar_t> name(32768, L'\0');
  const std::wstring initial = Widen(fileName);
  if (initial.size() < name.size()) std::copy(initial.begin(), initial.end(), name.begin());

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = wfilter.empty() ? nullptr : wfilter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(std::max(1, filterIndex));
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING |
              OFN_NOCHANGEDIR;  // never leave the process in (and locking) the browsed folder
  ofn.lpfnHook = &TOpenPictureDialog2::HookProc;
  ofn.lCustData = reinterpret_cast<LPARAM>(this);

  // The template from the resources, or the same layout built in memory
  // (fixed memory, so the handle and the pointer are one).
  HGLOBAL memTemplate = nullptr;
  if (FindResourceW(res, TEXT(OPENDLG_TEMPLATE_NAME), MAKEINTRESOURCEW(5) /* RT_DIALOG */)) {
    ofn.hInstance = res;
    ofn.lpTemplateName = TEXT(OPENDLG_TEMPLATE_NAME);
    ofn.Flags |= OFN_ENABLETEMPLATE;
  } else {
    const std::vector<uint8_t> t = BuildChildTemplate();
    memTemplate = GlobalAlloc(GMEM_FIXED, t.size());
    if (!memTemplate) throw std::bad_alloc();
    std::memcpy(memTemplate, t.data(), t.size());
    ofn.hInstance = static_cast<HINSTANCE>(memTemplate);
    ofn.Flags |= OFN_ENABLETEMPLATEHANDLE;
  }

  preview_.Clear();
  selected_.clear();
  const BOOL ok = GetOpenFileNameW(&ofn);
  const DWORD err = ok ? 0 : CommDlgExtendedError();
  if (memTemplate) GlobalFree(memTemplate);
  child_ = dialog_ = nullptr;
  preview_.Clear();
  if (!ok) {
    if (err) throw std::runtime_error("The open dialog could not be shown (error " + std::to_string(err) + ")");
    return false;
  }
  fileName = Narrow(name.data());
  filterIndex_ = static_cast<int>(ofn.nFilterIndex);
  return true;
}

HWND TOpenPictureDialog2::Owner() const { return dialog_ ? dialog_ : child_; }

void TOpenPictureDialog2::CreateControls(HWND child) {
  child_ = child;
  dialog_ = GetParent(child);
  dpi_ = DpiOf(child);
  const HINSTANCE inst = CodeModule();
  const HFONT font = FontOf(child);
  auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, HWND parent,
                  int id, void* param = nullptr, DWORD exStyle = 0) {
    HWND c = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, Scale(x, dpi_), Scale(y, dpi_),
                             Scale(w, dpi_), Scale(h, dpi_), parent, reinterpret_cast<HMENU>(INT_PTR(id)), inst, param);
    if (!c) throw std::runtime_error("Unable to create the picture preview");
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return c;
  };
  // A control parent, so the dialog's keyboard handling reaches the buttons (access keys).
  picturePanel_ = make(kPanelClass, L"", WS_CLIPCHILDREN, 204, 5, 169, 200, child, IDC_OPENDLG_PICTUREPANEL, this,
                       WS_EX_CONTROLPARENT);

  pictureLabel_ = make(L"STATIC", Widen(kPreviewNoPictureLabel).c_str(),
                       SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_ENDELLIPSIS, kPanelBorder, kPanelBorder, 157,
                       kLabelRow, picturePanel_, IDC_OPENDLG_PICTURELABEL);
  paintPanel_ = make(kPanelClass, L"", WS_CLIPCHILDREN, kPanelBorder, kPanelBorder + kLabelRow, 157,
                     200 - 2 * kPanelBorder - kLabelRow, picturePanel_, IDC_OPENDLG_PAINTPANEL, this);
  paintBox_ = make(kPaintBoxClass, L"", 0, 2, 2, 153, 140, paintPanel_, IDC_OPENDLG_PAINTBOX, this);
  previewButton_ = make(kSpeedButtonClass, L"", WS_DISABLED, 0, kPanelBorder, kPreviewW, kPreviewH, picturePanel_,
                        IDC_OPENDLG_PREVIEWBUTTON, glyph_);
  deleteButton_ = make(kSpeedButtonClass, L"&Delete", WS_DISABLED, 0, kPanelBorder, kDeleteW, kDeleteH,
                       picturePanel_, IDC_OPENDLG_DELETEBUTTON);

  hint_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog_, nullptr, inst, nullptr);
  if (hint_) {
    auto addTool = [&](HWND button, const wchar_t* text) {
      TOOLINFOW ti{};
      ti.cbSize = TTTOOLINFOW_V2_SIZE;
      ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      ti.hwnd = picturePanel_;
      ti.uId = reinterpret_cast<UINT_PTR>(button);
      ti.lpszText = const_cast<wchar_t*>(text);
      SendMessageW(hint_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    };
    addTool(previewButton_, L"Preview");
    addTool(deleteButton_, L"Delete Image");
  }
  Layout();
  UpdateState();
}

void TOpenPictureDialog2::DoShow() { Layout(); }

void TOpenPictureDialog2::Layout() {
  if (!child_ || !picturePanel_) return;
  dpi_ = DpiOf(child_);
  RECT client;
  GetClientRect(child_, &client);
  // The area right of the standard controls. stc32 spans them when the
  // dialog opens; a sizing dialog may widen them past it later.
  int left = client.right - Scale(169, dpi_);
  if (HWND std = GetDlgItem(child_, stc32)) left = RectIn(std, child_).right;
  for (HWND w = GetWindow(dialog_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == child_ || !IsWindowVisible(w)) continue;
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    if (lstrcmpiW(cls, L"ScrollBar") == 0) continue;  // the size grip in the corner
    left = std::max(left, int(RectIn(w, child_).right));
  }
  left = std::min(left, int(client.right));
  const int top = client.top + Scale(kPanelTopGap, dpi_);
  const int pw = std::max(0, int(client.right) - left), ph = std::max(0, int(client.bottom) - top);
  MoveWindow(picturePanel_, left, top, pw, ph, TRUE);

  const int b = Scale(kPanelBorder, dpi_), row = Scale(kLabelRow, dpi_);
  const int innerR = std::max(b, pw - b), innerB = std::max(b + row, ph - b);
  MoveWindow(paintPanel_, b, b + row, innerR - b, innerB - b - row, TRUE);
  RECT pp;
  GetClientRect(paintPanel_, &pp);
  MoveWindow(paintBox_, 2, 2, std::max(0, int(pp.right) - 4), std::max(0, int(pp.bottom) - 4), TRUE);

  const int prevW = Scale(kPreviewW, dpi_), prevH = Scale(kPreviewH, dpi_);
  const int delW = Scale(kDeleteW, dpi_), delH = Scale(kDeleteH, dpi_), gap = Scale(kButtonGap, dpi_);
  const int prevX = innerR - prevW - gap;
  const int delX = prevX - delW - gap;
  MoveWindow(previewButton_, prevX, b + (delH - prevH) / 2, prevW, prevH, TRUE);
  MoveWindow(deleteButton_, delX, b, delW, delH, TRUE);
  MoveWindow(pictureLabel_, b, b, std::max(0, delX - gap - b), delH, TRUE);
}

std::string TOpenPictureDialog2::SelectedName() const {
  if (!dialog_) return {};
  std::vector<wchar_t> buf(32768, L'\0');
  const LRESULT n = SendMessageW(dialog_, CDM_GETFILEPATH, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
  if (n <= 0 || size_t(n) > buf.size()) return {};
  buf.back() = L'\0';
  return Narrow(buf.data());
}

void TOpenPictureDialog2::DoSelectionChange() {
  selected_ = SelectedName();
  {
    WaitCursor wait;
    preview_.Load(selected_);
  }
  UpdateState();
}

void TOpenPictureDialog2::UpdateState() {
  const bool has = preview_.HasPicture();
  if (pictureLabel_) SetWindowTextW(pictureLabel_, Widen(preview_.Label()).c_str());
  if (previewButton_) EnableWindow(previewButton_, has);
  if (deleteButton_) EnableWindow(deleteButton_, has);
  if (paintBox_) InvalidateRect(paintBox_, nullptr, FALSE);
}

void TOpenPictureDialog2::PreviewClick() {
  HideHint();
  ShowPreviewWindow(Owner(), preview_.Pic(), dpi_);
}

void TOpenPictureDialog2::DeleteClick() {
  HideHint();
  const std::string name = selected_;
  if (name.empty()) return;
  const int answer = MessageBoxW(Owner(), Widen("Delete: " + name).c_str(), L"Delete File...",
                                 MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
  if (answer != IDOK) return;
  const std::wstring wname = Widen(name);
  if (!DeleteFileW(wname.c_str())) {
    MessageBoxW(Owner(), Widen("Unable to delete " + name).c_str(), L"Delete File...", MB_OK | MB_ICONWARNING);
    return;
  }
  // Tell the shell, whose view in the dialog then drops the file from its list.
  SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW | SHCNF_FLUSH, wname.c_str(), nullptr);
  preview_.Clear();
  selected_.clear();
  UpdateState();
}

void TOpenPictureDialog2::HideHint() {
  if (hint_) SendMessageW(hint_, TTM_POP, 0, 0);
}

void TOpenPictureDialog2::DestroyControls() {
  HideHint();
  if (hint_) DestroyWindow(hint_);
  hint_ = nullptr;
  // The child windows go with the dialog.
  picturePanel_ = pictureLabel_ = previewButton_ = deleteButton_ = paintPanel_ = paintBox_ = nullptr;
}

UINT_PTR CALLBACK TOpenPictureDialog2::HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    if (msg == WM_INITDIALOG) {
      auto* self = reinterpret_cast<TOpenPictureDialog2*>(reinterpret_cast<OPENFILENAMEW*>(lParam)->lCustData);
      SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
      self->CreateControls(hwnd);
      return TRUE;
    }
    auto* self = reinterpret_cast<TOpenPictureDialog2*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return 0;
    switch (msg) {
      case WM_NOTIFY:
        switch (reinterpret_cast<NMHDR*>(lParam)->code) {
          case CDN_INITDONE:
            self->DoShow();
            // Once the dialog is on screen the standard controls have their final places.
            PostMessageW(hwnd, kRelayoutMessage, 0, 0);
            break;
          case CDN_SELCHANGE:
            self->DoSelectionChange();
            break;
          case CDN_FOLDERCHANGE:
            // The shown file is no longer the one listed; never delete a file out of view.
            self->preview_.Clear();
            self->selected_.clear();
            self->UpdateState();
            break;
          case CDN_FILEOK:
            self->HideHint();
            break;
        }
        return 0;
      case WM_SIZE:
      case kRelayoutMessage:
        self->Layout();
        return 0;
      case WM_DESTROY:
        self->DestroyControls();
        return 0;
    }
  } catch (...) {
    HandleCurrentException();
  }
  return 0;
}

LRESULT CALLBACK TOpenPictureDialog2::PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) BindCreateParam(hwnd, lParam);
  auto* self = reinterpret_cast<TOpenPictureDialog2*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  try {
    switch (msg) {
      case WM_COMMAND:
        if (self && HIWORD(wParam) == BN_CLICKED) {
          if (LOWORD(wParam) == IDC_OPENDLG_PREVIEWBUTTON) self->PreviewClick();
          if (LOWORD(wParam) == IDC_OPENDLG_DELETEBUTTON) self->DeleteClick();
        }
        return 0;
      case WM_PAINT:
        if (GetDlgCtrlID(hwnd) == IDC_OPENDLG_PAINTPANEL) {
          // Lowered outer and raised inner bevel.
          PAINTSTRUCT ps;
          HDC dc = BeginPaint(hwnd, &ps);
          RECT r;
          GetClientRect(hwnd, &r);
          DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
          EndPaint(hwnd, &ps);
          return 0;
        }
        break;
    }
  } catch (...) {
    HandleCurrentException();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK TOpenPictureDialog2::PaintBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) BindCreateParam(hwnd, lParam);
  auto* self = reinterpret_cast<TOpenPictureDialog2*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  try {
    switch (msg) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        if (self && r.right > 0 && r.bottom > 0) {
          // Drawn off screen so changing pictures do not flicker.
          UniqueMemDC mem(CreateCompatibleDC(dc));
          UniqueBitmap bmp(CreateCompatibleBitmap(dc, r.right, r.bottom));
          if (mem && bmp) {
            SelectObj sb(mem.get(), bmp.get());
            SelectObj sf(mem.get(), FontOf(self->child_) ? static_cast<HGDIOBJ>(FontOf(self->child_))
                                                         : GetStockObject(DEFAULT_GUI_FONT));
            self->preview_.Paint(mem.get(), r, GetSysColor(COLOR_BTNFACE));
            BitBlt(dc, 0, 0, r.right, r.bottom, mem.get(), 0, 0, SRCCOPY);
          } else {
            self->preview_.Paint(dc, r, GetSysColor(COLOR_BTNFACE));
          }
        }
        EndPaint(hwnd, &ps);
        return 0;
      }
      case WM_LBUTTONDBLCLK:
        if (self) self->PreviewClick();
        return 0;
    }
  } catch (...) {
    HandleCurrentException();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace griv
