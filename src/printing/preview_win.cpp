#include "printing/preview_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "base/dib_win.h"
#include "base/utf.h"
#include "ui/ui_win.h"

namespace griv {

namespace {

// Layout in 96-DPI pixels.
constexpr int kPanelHeight = 32;
constexpr int kPageLeft = 32, kPageTop = 34;  // the page's corner inside the scroll box
constexpr int kShadow = 4;
constexpr int kPanelFontPoints = 9;

}  // namespace

// ---------------------------------------------------------------- Panel1

// The tool bar strip. Its controls talk to it; it hands everything on to the form.
class TPreviewForm::Panel : public WindowBase {
 public:
  explicit Panel(TPreviewForm& form) : form_(form) {}
  void Create(HWND parent) {
    CreateWin({L"TPreviewPanel", 0, nullptr, nullptr}, WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
              0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PREVIEW_PANEL)));
  }

 private:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_COMMAND:
      case WM_HSCROLL: return SendMessageW(form_.Handle(), msg, wp, lp);
      case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      case WM_ERASEBKGND: return 1;
    }
    return WindowBase::WndProc(msg, wp, lp);
  }
  void OnPaint(HDC dc, const PAINTSTRUCT&) override {
    RECT rc;
    GetClientRect(Handle(), &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    RECT bottom{rc.left, rc.bottom - 2, rc.right, rc.bottom};
    DrawEdge(dc, &bottom, EDGE_ETCHED, BF_TOP);
  }
  TPreviewForm& form_;
};

// ---------------------------------------------------------------- Image1

// The page picture. A click zooms: the left button in, the right button out.
class TPreviewForm::PageImage : public WindowBase {
 public:
  explicit PageImage(TPreviewForm& form) : form_(form) {}
  ~PageImage() override {
    if (mem_ && old_) SelectObject(mem_.get(), old_);
  }
  void Create(HWND parent, HCURSOR cursor) {
    CreateWin({L"TPreviewPage", 0, cursor, nullptr}, 0, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PREVIEW_PAGE)));
  }
  // A white page of this size (device pixels).
  HDC Canvas(int width, int height) {
    if (width != width_ || height != height_ || !bitmap_) {
      WindowDC screen(nullptr);
      if (!mem_) mem_.reset(CreateCompatibleDC(screen.get()));
      if (!mem_) throw std::bad_alloc();
      // A bitmap still selected into the DC could not be deleted.
      if (old_) SelectObject(mem_.get(), old_);
      old_ = nullptr;
      bitmap_.reset();
      width_ = height_ = 0;
      const BITMAPINFO bi = TopDownInfo(std::max(width, 1), std::max(height, 1), 24);
      void* bits = nullptr;
      bitmap_.reset(CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
      if (!bitmap_) throw std::bad_alloc();
      old_ = SelectObject(mem_.get(), bitmap_.get());
      width_ = width;
      height_ = height;
    }
    PatBlt(mem_.get(), 0, 0, width_, height_, WHITENESS);
    return mem_.get();
  }
  void Shown() { InvalidateRect(Handle(), nullptr, FALSE); }

 private:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_LBUTTONDOWN: form_.Image1MouseDown(1); return 0;
      case WM_RBUTTONDOWN: form_.Image1MouseDown(2); return 0;
      case WM_MBUTTONDOWN: form_.Image1MouseDown(3); return 0;
      case WM_ERASEBKGND: return 1;
    }
    return WindowBase::WndProc(msg, wp, lp);
  }
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override {
    const RECT& r = ps.rcPaint;
    if (bitmap_) BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, mem_.get(), r.left, r.top, SRCCOPY);
    else FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  TPreviewForm& form_;
  UniqueBitmap bitmap_;  // before mem_: the DC lets go of it before it is deleted
  UniqueMemDC mem_;
  HGDIOBJ old_ = nullptr;
  int width_ = 0, height_ = 0;
};

// ---------------------------------------------------------------- ScrollBox1

// Scrolls the page, which sits at a fixed corner inside it, over a grey desk.
class TPreviewForm::ScrollBox : public WindowBase {
 public:
  void Create(HWND parent) {
    CreateWin({L"TPreviewScrollBox", 0, nullptr, nullptr}, WS_EX_CLIENTEDGE, L"",
              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL, 0, 0, 0, 0, parent,
              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PREVIEW_SCROLLBOX)));
  }
  void SetPage(HWND page, int width, int height, int dpi) {
    page_ = page;
    pageW_ = width;
    pageH_ = height;
    dpi_ = dpi;
    Relayout();
  }
  // The wheel scrolls up and down, with Shift across.
  void Wheel(WPARAM wp) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wp);
    const bool across = (GET_KEYSTATE_WPARAM(wp) & MK_SHIFT) != 0;
    ScrollTo(across ? x_ - delta * Scale(48, dpi_) / WHEEL_DELTA : x_,
             across ? y_ : y_ - delta * Scale(48, dpi_) / WHEEL_DELTA);
  }

 private:
  int ContentWidth() const { return pageW_ + 2 * Scale(kPageLeft, dpi_); }
  int ContentHeight() const { return pageH_ + 2 * Scale(kPageTop, dpi_); }

  void Relayout() {
    if (!Handle() || relayout_) return;
    relayout_ = true;
    // Showing one scroll bar can make the other necessary: settle in two rounds.
    for (int round = 0; round < 2; ++round) {
      RECT rc;
      GetClientRect(Handle(), &rc);
      SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS};
      si.nMax = ContentWidth() - 1;
      si.nPage = static_cast<UINT>(std::max<LONG>(rc.right, 0));
      si.nPos = x_;
      SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
      si.nMax = ContentHeight() - 1;
      si.nPage = static_cast<UINT>(std::max<LONG>(rc.bottom, 0));
      si.nPos = y_;
      SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
    }
    relayout_ = false;
    ScrollTo(x_, y_);
  }

  void ScrollTo(int x, int y) {
    RECT rc;
    GetClientRect(Handle(), &rc);
    x_ = std::clamp(x, 0, std::max(0, ContentWidth() - static_cast<int>(rc.right)));
    y_ = std::clamp(y, 0, std::max(0, ContentHeight() - static_cast<int>(rc.bottom)));
    SetScrollPos(Handle(), SB_HORZ, x_, TRUE);
    SetScrollPos(Handle(), SB_VERT, y_, TRUE);
    if (page_)
      SetWindowPos(page_, nullptr, Scale(kPageLeft, dpi_) - x_, Scale(kPageTop, dpi_) - y_, pageW_, pageH_,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, TRUE);
  }

  void Scroll(int bar, WPARAM wp) {
    SCROLLINFO si{sizeof si, SIF_ALL};
    GetScrollInfo(Handle(), bar, &si);
    int pos = bar == SB_HORZ ? x_ : y_;
    const int line = Scale(20, dpi_);
    switch (LOWORD(wp)) {
      case SB_LINEUP: pos -= line; break;
      case SB_LINEDOWN: pos += line; break;
      case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
      case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: pos = si.nTrackPos; break;
      case SB_TOP: pos = 0; break;
      case SB_BOTTOM: pos = si.nMax; break;
      default: return;
    }
    if (bar == SB_HORZ) ScrollTo(pos, y_);
    else ScrollTo(x_, pos);
  }

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_HSCROLL: Scroll(SB_HORZ, wp); return 0;
      case WM_VSCROLL: Scroll(SB_VERT, wp); return 0;
      case WM_MOUSEWHEEL: Wheel(wp); return 0;
      case WM_ERASEBKGND: return 1;
    }
    return WindowBase::WndProc(msg, wp, lp);
  }
  void OnSize(int, int) override { Relayout(); }
  void OnPaint(HDC dc, const PAINTSTRUCT&) override {
    RECT rc;
    GetClientRect(Handle(), &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_APPWORKSPACE));
    if (!page_) return;
    const int left = Scale(kPageLeft, dpi_) - x_, top = Scale(kPageTop, dpi_) - y_, s = Scale(kShadow, dpi_);
    // A shadow to the lower right and a thin frame: the page lies on the desk.
    RECT shadow{left + s, top + s, left + pageW_ + s, top + pageH_ + s};
    UniqueBrush dark(CreateSolidBrush(RGB(64, 64, 64)));
    FillRect(dc, &shadow, dark.get());
    RECT frame{left - 1, top - 1, left + pageW_ + 1, top + pageH_ + 1};
    FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }

  HWND page_ = nullptr;
  int pageW_ = 0, pageH_ = 0, dpi_ = 96;
  int x_ = 0, y_ = 0;
  bool relayout_ = false;
};

// ---------------------------------------------------------------- the form

TPreviewForm::TPreviewForm(HINSTANCE resources, HWND owner, Printer& printer, const Picture& picture,
                           PreviewOptions options)
    : resources_(resources), printer_(printer), previewPicture_(picture), options_(std::move(options)) {
  cursor_ = LoadCursorW(resources_, L"PREVIEWCURSOR");
  if (!cursor_) cursor_ = LoadCursorW(nullptr, IDC_ARROW);
  const int w = previewPicture_.width, h = previewPicture_.height;
  if (options_.print.autoOrient && !printer_.SetLandscape(AutoOrientLandscape(w, h))) throw EPreviewPrinter();
  if (!printer_.QueryPage(printerPage_)) throw EPreviewPrinter();
  zoom_.Set(InitialPreviewScale(ParsePrintFit(options_.print.printStyle), options_.print.zoom, w, h,
                                printerPage_.width, printerPage_.height));

  WindowClass cls{kPreviewClassName, 0, cursor_, nullptr};
  if (owner) {
    cls.icon = reinterpret_cast<HICON>(GetClassLongPtrW(owner, GCLP_HICON));
    cls.smallIcon = reinterpret_cast<HICON>(GetClassLongPtrW(owner, GCLP_HICONSM));
  }
  CreateWin(cls, WS_EX_CONTROLPARENT, Widen(kPreviewCaption).c_str(),
            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN, CW_USEDEFAULT,
            CW_USEDEFAULT, 800, 600, owner);
  dpi_ = DpiOf(Handle());
  CreateControls();
  SetupPage();
  SyncTrackBar();
  DrawPage();
}

TPreviewForm::~TPreviewForm() {
  // The children go with the form; the font they use goes after them.
  Destroy();
}

void TPreviewForm::CreateControls() {
  const HWND form = Handle();
  const HINSTANCE inst = CodeModule();
  panelFont_ = MakeFont(L"Arial", -MulDiv(kPanelFontPoints, dpi_, 72), FW_BOLD);

  panel_ = std::make_unique<Panel>(*this);
  panel_->Create(form);
  const HWND panel = panel_->Handle();
  // The buttons' captions are their names for the user's tools; the glyphs are what shows.
  SpeedButton::Options flat;
  flat.notify = form;
  setupButton_.Create(panel, IDC_PREVIEW_SETUP, L"Printer Setup", 0, 0, 0, 0, flat);
  setupButton_.SetGlyph(options_.setupGlyph);
  printButton_.Create(panel, IDC_PREVIEW_PRINT, L"Print", 0, 0, 0, 0, flat);
  printButton_.SetGlyph(options_.printGlyph);
  label_ = CreateWindowExW(0, WC_STATICW, L"Zoom:", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0, panel,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PREVIEW_ZOOMLABEL)), inst, nullptr);
  memZoom_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL,
                             0, 0, 0, 0, panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PREVIEW_ZOOM)), inst,
                             nullptr);
  trkBar1_ = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS,
                             0, 0, 0, 0, panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PREVIEW_TRACK)), inst,
                             nullptr);
  SendMessageW(trkBar1_, TBM_SETRANGE, FALSE, MAKELPARAM(kTrackMin, kTrackMax));
  SendMessageW(trkBar1_, TBM_SETTICFREQ, 5, 0);
  SendMessageW(trkBar1_, TBM_SETPAGESIZE, 0, kTrackPage);
  SendMessageW(trkBar1_, TBM_SETLINESIZE, 0, 1);
  SendMessageW(trkBar1_, TBM_SETPOS, TRUE, 10);
  cancelButton_.Create(panel, IDC_PREVIEW_CANCEL, L"Cancel", 0, 0, 0, 0, flat);
  cancelButton_.SetGlyph(options_.cancelGlyph);
  // Never shown: the page's clicks run their handlers.
  plusButton_.Create(panel, IDC_PREVIEW_PLUS, L"+", 0, 0, 0, 0, flat);
  minusButton_.Create(panel, IDC_PREVIEW_MINUS, L"-", 0, 0, 0, 0, flat);
  ShowWindow(plusButton_.Handle(), SW_HIDE);
  ShowWindow(minusButton_.Handle(), SW_HIDE);
  for (HWND c : {label_, memZoom_, setupButton_.Handle(), printButton_.Handle(), cancelButton_.Handle()})
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(panelFont_.get()), FALSE);

  scrollBox_ = std::make_unique<ScrollBox>();
  scrollBox_->Create(form);
  image_ = std::make_unique<PageImage>(*this);
  image_->Create(scrollBox_->Handle(), cursor_);

  tips_ = CreateHintWindow(form);
  const std::pair<HWND, const wchar_t*> hints[] = {
      {setupButton_.Handle(), L"Printer Setup"}, {printButton_.Handle(), L"Print"},
      {trkBar1_, L"Drag to Zoom Image"},         {cancelButton_.Handle(), L"Cancel"},
      {plusButton_.Handle(), L"ZoomIn"},         {minusButton_.Handle(), L"Zoom Out"},
  };
  for (const auto& [control, hint] : hints) AddHint(tips_, panel, control, hint);
  Layout();
}

void TPreviewForm::Layout() {
  if (!panel_ || !scrollBox_) return;
  RECT rc;
  GetClientRect(Handle(), &rc);
  auto S = [&](int v) { return Scale(v, dpi_); };
  MoveWindow(panel_->Handle(), 0, 0, rc.right, S(kPanelHeight), TRUE);
  MoveWindow(scrollBox_->Handle(), 0, S(kPanelHeight), rc.right, std::max<LONG>(0, rc.bottom - S(kPanelHeight)), TRUE);
  MoveWindow(setupButton_.Handle(), S(6), S(3), S(25), S(25), TRUE);
  MoveWindow(printButton_.Handle(), S(32), S(3), S(25), S(25), TRUE);
  MoveWindow(label_, S(69), S(8), S(40), S(17), TRUE);
  MoveWindow(memZoom_, S(110), S(5), S(51), S(22), TRUE);
  MoveWindow(trkBar1_, S(163), S(1), S(200), S(29), TRUE);
  MoveWindow(cancelButton_.Handle(), S(376), S(3), S(25), S(25), TRUE);
  MoveWindow(plusButton_.Handle(), S(410), S(3), S(25), S(25), FALSE);
  MoveWindow(minusButton_.Handle(), S(436), S(3), S(25), S(25), FALSE);
}

void TPreviewForm::OnSize(int, int) { Layout(); }

LRESULT TPreviewForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE: Close(); return 0;  // the modal run ends and frees the window
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lp) == trkBar1_) trkBar1Change();
      return 0;
    case WM_ACTIVATE:
      // The zoom box has the keyboard whenever the preview comes back to the front.
      if (LOWORD(wp) != WA_INACTIVE && memZoom_) {
        SetFocus(memZoom_);
        return 0;
      }
      break;
  }
  return WindowBase::WndProc(msg, wp, lp);
}

bool TPreviewForm::OnCommand(int id, int code, HWND) {
  switch (id) {
    case IDC_PREVIEW_SETUP: SetupSpeedButtonClick(); return true;
    case IDC_PREVIEW_PRINT: PrintButtonClick(); return true;
    case IDC_PREVIEW_CANCEL: CancelButtonClick(); return true;
    case IDC_PREVIEW_PLUS: ScalePlusButtonClick(); return true;
    case IDC_PREVIEW_MINUS: ScaleMinusButtonClick(); return true;
    case IDC_PREVIEW_ZOOM:
      if (code == EN_SETFOCUS) memZoomEnter();
      return true;
  }
  return false;
}

void TPreviewForm::ShowModal() {
  const HWND form = Handle();
  const HWND owner = GetWindow(form, GW_OWNER), focus = GetFocus();
  {
    OwnerDisabled disabled(owner);
    ShowWindow(form, SW_SHOWMAXIMIZED);
    SetForegroundWindow(form);
    SetFocus(memZoom_);
    RunModal(form, [this] { return done_; }, [&](const MSG& m) {
      if (m.hwnd != form && !IsChild(form, m.hwnd)) return false;
      if (m.message == WM_MOUSEWHEEL) {
        scrollBox_->Wheel(m.wParam);
        return true;
      }
      bool used = false;
      Guarded([&] { used = PreviewKey(m); });
      return used;
    });
  }
  Destroy();
  GiveFocusBack(owner, focus);
}

bool TPreviewForm::PreviewKey(const MSG& m) {
  if (m.message != WM_KEYDOWN && m.message != WM_SYSKEYDOWN) return false;
  bool handled = false;
  FormKeyDown(m.wParam, (GetKeyState(VK_CONTROL) & 0x8000) != 0, handled);
  if (handled) return true;
  if (m.message == WM_KEYDOWN && m.hwnd == memZoom_ && m.wParam == VK_RETURN) {
    memZoomKeyDown();
    return true;
  }
  return false;
}

// ---------------------------------------------------------------- page

void TPreviewForm::SetupPage() {
  if (!printer_.QueryPage(printerPage_)) throw EPreviewPrinter();
  page_ = SetupPreviewPage(printerPage_.width, printerPage_.height, printerPage_.dpiX, printerPage_.landscape);
  scrollBox_->SetPage(image_->Handle(), page_.width, page_.height, dpi_);
  ShowZoomSize();
}

void TPreviewForm::DrawPage() {
  const Picture& pic = previewPicture_;
  box_ = PlacePreviewBox(page_, pic.width, pic.height, zoom_.Scale());
  HDC dc = image_->Canvas(page_.width, page_.height);
  if (!pic.Empty() && box_.width > 0 && box_.height > 0) {
    // Shrinking averages the pixels it drops (text stays readable); growing repeats them.
    const bool shrinking = box_.width < pic.width || box_.height < pic.height;
    SetStretchBltMode(dc, shrinking ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    PictureInfo info;
    FillPictureInfo(pic, info);
    StretchDIBits(dc, box_.left, box_.top, box_.width, box_.height, 0, 0, pic.width, pic.height, pic.pixels.data(),
                  info.get(), DIB_RGB_COLORS, SRCCOPY);
  }
  image_->Shown();
}

void TPreviewForm::SyncTrackBar() { SendMessageW(trkBar1_, TBM_SETPOS, TRUE, zoom_.Position()); }

void TPreviewForm::ShowZoomSize() { SetWindowTextW(memZoom_, Widen(zoom_.Text()).c_str()); }

void TPreviewForm::ZoomChanged() {
  ShowZoomSize();
  SyncTrackBar();
  DrawPage();
}

// ---------------------------------------------------------------- events

void TPreviewForm::FormKeyDown(WPARAM key, bool ctrl, bool& handled) {
  handled = false;
  if (!ctrl && (key == VK_ADD || key == VK_SUBTRACT)) {
    // As if the track bar had been paged: at its end nothing moves.
    if (zoom_.TrackStep(key == VK_ADD ? kTrackPage : -kTrackPage)) ZoomChanged();
    handled = true;
  } else if (ctrl && key == 'P') {
    PrintButtonClick();
    handled = true;
  }
}

void TPreviewForm::Image1MouseDown(int button) {
  if (button == 1) ScalePlusButtonClick();
  else if (button == 2) ScaleMinusButtonClick();
}

void TPreviewForm::ScalePlusButtonClick() {
  zoom_.Plus();
  ZoomChanged();
}

void TPreviewForm::ScaleMinusButtonClick() {
  if (zoom_.Minus()) ZoomChanged();
}

void TPreviewForm::trkBar1Change() {
  const int pos = static_cast<int>(SendMessageW(trkBar1_, TBM_GETPOS, 0, 0));
  // A scale between track bar steps stays until the thumb really moves.
  if (pos == zoom_.Position()) return;
  zoom_.TrackMoved(pos);
  ShowZoomSize();
  DrawPage();
}

void TPreviewForm::memZoomEnter() { SendMessageW(memZoom_, EM_SETSEL, 0, -1); }

void TPreviewForm::memZoomKeyDown() {
  const int n = GetWindowTextLengthW(memZoom_);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(memZoom_, text.data(), n + 1)));
  zoom_.Typed(Narrow(text));
  ZoomChanged();
  SendMessageW(memZoom_, EM_SETSEL, 0, -1);
}

void TPreviewForm::SetupSpeedButtonClick() {
  {
    WaitCursor wait;
    printer_.SetupDialog(Handle());
  }
  // The page follows the printer and orientation chosen; the scale stays.
  SetupPage();
  DrawPage();
}

void TPreviewForm::PrintButtonClick() {
  notes_.clear();
  if (options_.printNotes && !(options_.askNotes && options_.askNotes(Handle(), notes_))) return;
  ImagePrintOptions print = options_.print;
  print.notes = options_.printNotes ? &notes_ : nullptr;
  bool ok = false;
  {
    WaitCursor wait;
    ok = PrintFromPreview(printer_, previewPicture_, page_, box_, zoom_.Scale(), print);
  }
  if (!ok) {
    // The preview stays: the user can choose another printer and try again.
    ShowMessage(Handle(), kPrintFailedMessage, options_.dialogCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  Close();
}

void TPreviewForm::Close() {
  done_ = true;
  // Wakes the modal run also when this came in a message sent from elsewhere.
  PostMessageW(Handle(), WM_NULL, 0, 0);
}

}  // namespace griv
