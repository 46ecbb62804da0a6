#include "image/open_picture_dialog_win.h"
#include "ui/modal_state.h"

#include "ui/file_dialogs_win.h"
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

#include "ids_opendlg.h"
#include "ui/ui_win.h"
#include "image/image_files.h"
#include "base/file_io.h"
#include "base/handles_win.h"
#include "base/utf.h"
#include "ui/window_base_win.h"
#include "ui/ole_win.h"

namespace griv {

namespace {

constexpr wchar_t kPanelClass[] = L"GrivPicturePanel";
constexpr wchar_t kPaintBoxClass[] = L"GrivPicturePaintBox";
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

class PreviewForm : public WindowBase {
 public:
  PreviewForm(const Picture& pic, int border) : pic_(pic), border_(border) {}
  void Create(HWND owner, int x, int y, int w, int h, DWORD style, DWORD exStyle, POINT minTrack);
  bool done = false;

 private:
  class Panel : public WindowBase {
   public:
    explicit Panel(PreviewForm& form) : form_(form) {}
    void Create(HWND parent, int w, int h) {
      CreateWin({kPreviewPanelClass, CS_HREDRAW | CS_VREDRAW}, 0, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, w, h,
                parent, reinterpret_cast<HMENU>(IDC_OPENDLG_PREVIEWPANEL));
    }

   private:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
      if (msg == WM_ERASEBKGND) return 1;
      return WindowBase::WndProc(msg, wp, lp);
    }
    void OnPaint(HDC dc, const PAINTSTRUCT&) override {
      RECT r;
      GetClientRect(Handle(), &r);
      FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
      if (form_.pic_.Empty()) return;
      InflateRect(&r, -form_.border_, -form_.border_);
      if (r.right > r.left && r.bottom > r.top) DrawPicture(dc, form_.pic_, r, form_.scaled_);
    }
    PreviewForm& form_;
  };

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_GETMINMAXINFO:
        if (minTrack_.x > 0) reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = minTrack_;
        return 0;
      case WM_KEYDOWN:
        if (wp == VK_ESCAPE) {
          done = true;
          return 0;
        }
        break;
      case WM_CLOSE:
        done = true;
        return 0;
    }
    return WindowBase::WndProc(msg, wp, lp);
  }
  void OnSize(int w, int h) override {
    if (panel_.Handle()) MoveWindow(panel_.Handle(), 0, 0, w, h, TRUE);
    InvalidateRect(panel_.Handle() ? panel_.Handle() : Handle(), nullptr, FALSE);
  }

  const Picture& pic_;
  Picture scaled_;
  int border_;
  POINT minTrack_{0, 0};  // small enough for a tiny picture at its own size
  Panel panel_{*this};
};

void PreviewForm::Create(HWND owner, int x, int y, int w, int h, DWORD style, DWORD exStyle, POINT minTrack) {
  minTrack_ = minTrack;
  CreateWin({kPreviewFormClass, 0, nullptr, GetSysColorBrush(COLOR_WINDOW)}, exStyle, L"Preview", style, x, y, w, h,
            owner);
  // Again, now that the window knows its smaller minimum (asked before WM_NCCREATE).
  SetWindowPos(Handle(), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(Handle(), &client);
  panel_.Create(Handle(), client.right, client.bottom);
}

// Shows the picture modally in a sizeable tool window centred on the owner's
// monitor; Esc or the close box ends it.
void ShowPreviewWindow(HWND owner, const Picture& pic, int dpi) {
  const int border = Scale(kPreviewFormBorder, dpi);
  PreviewForm form(pic, border);
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
  const int extraW = (frame.right - frame.left) + 2 * GetSystemMetrics(SM_CXBORDER) + 2 * border;
  const int extraH = (frame.bottom - frame.top) + 2 * GetSystemMetrics(SM_CYBORDER) + 2 * border;
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

  form.Create(owner, x, y, w, h, style, exStyle, POINT{extraW + 1, extraH + 1});
  const HWND hwnd = form.Handle();
  {
    OwnerDisabled disabled(owner);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    RunModal(hwnd, [&] { return form.done; }, [&](const MSG& m) {
      if (m.message != WM_KEYDOWN || m.wParam != VK_ESCAPE || (m.hwnd != hwnd && !IsChild(hwnd, m.hwnd))) return false;
      form.done = true;
      return true;
    });
  }
  form.Destroy();
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

bool TOpenPictureDialog2::Execute(HWND owner, const std::string& initialDir, const std::string& filter,
                                  int filterIndex, std::string& fileName) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  const HINSTANCE res = resModule_ ? resModule_ : CodeModule();

  if (!glyph_) {
    glyph_.reset(static_cast<HBITMAP>(LoadImageW(res, L"PREVIEWGLYPH", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!glyph_) glyph_.reset(DrawFallbackGlyph());
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
  ofn.lpfnHook = &DialogBase::CommonDialogHook<OPENFILENAMEW>;
  ofn.lCustData = reinterpret_cast<LPARAM>(static_cast<DialogBase*>(this));

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
  ole::Start();  // the dialog browses through the shell
  BOOL ok;
  {
    ModalScope modal;
    ok = GetOpenFileNameW(&ofn);
  }
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
  const HFONT font = FontOf(child);
  auto S = [&](int v) { return Scale(v, dpi_); };
  // A control parent, so the dialog's keyboard handling reaches the buttons (access keys).
  picturePanel_.Create(child, IDC_OPENDLG_PICTUREPANEL, S(204), S(5), S(169), S(200), WS_EX_CONTROLPARENT);
  const HWND panel = picturePanel_.Handle();
  pictureLabel_ = CreateWindowExW(0, L"STATIC", Widen(kPreviewNoPictureLabel).c_str(),
                                  WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_ENDELLIPSIS,
                                  S(kPanelBorder), S(kPanelBorder), S(157), S(kLabelRow), panel,
                                  reinterpret_cast<HMENU>(INT_PTR(IDC_OPENDLG_PICTURELABEL)), CodeModule(), nullptr);
  if (!pictureLabel_) throw std::runtime_error("Unable to create the picture preview");
  SendMessageW(pictureLabel_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  paintPanel_.Create(panel, IDC_OPENDLG_PAINTPANEL, S(kPanelBorder), S(kPanelBorder + kLabelRow), S(157),
                     S(200 - 2 * kPanelBorder - kLabelRow), 0);
  paintBox_.Create(paintPanel_.Handle(), S(2), S(2), S(153), S(140));
  SpeedButton::Options push;
  push.look = SpeedButton::Look::Push;
  push.postClicks = false;
  previewButton_.Create(panel, IDC_OPENDLG_PREVIEWBUTTON, L"", 0, S(kPanelBorder), S(kPreviewW), S(kPreviewH), push,
                        false);
  previewButton_.SetBitmapGlyph(glyph_.get(), kGlyphSize);
  deleteButton_.Create(panel, IDC_OPENDLG_DELETEBUTTON, L"&Delete", 0, S(kPanelBorder), S(kDeleteW), S(kDeleteH), push,
                       false);
  for (HWND b : {previewButton_.Handle(), deleteButton_.Handle()})
    SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  hint_ = CreateHintWindow(dialog_);
  if (hint_) {
    AddHint(hint_, panel, previewButton_.Handle(), L"Preview");
    AddHint(hint_, panel, deleteButton_.Handle(), L"Delete Image");
  }
  Layout();
  UpdateState();
}

void TOpenPictureDialog2::Panel::Create(HWND parent, int id, int x, int y, int w, int h, DWORD exStyle) {
  CreateWin({kPanelClass, 0, nullptr, GetSysColorBrush(COLOR_BTNFACE)}, exStyle, L"",
            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, w, h, parent, reinterpret_cast<HMENU>(INT_PTR(id)));
}

bool TOpenPictureDialog2::Panel::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  if (id == IDC_OPENDLG_PREVIEWBUTTON) dlg_.PreviewClick();
  if (id == IDC_OPENDLG_DELETEBUTTON) dlg_.DeleteClick();
  return true;
}

void TOpenPictureDialog2::Panel::OnPaint(HDC dc, const PAINTSTRUCT&) {
  if (!bevelled_) return;
  // Lowered outer and raised inner bevel.
  RECT r;
  GetClientRect(Handle(), &r);
  DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
}

void TOpenPictureDialog2::PaintBox::Create(HWND parent, int x, int y, int w, int h) {
  CreateWin({kPaintBoxClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW}, 0, L"", WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
            reinterpret_cast<HMENU>(INT_PTR(IDC_OPENDLG_PAINTBOX)));
}

LRESULT TOpenPictureDialog2::PaintBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDBLCLK:
      dlg_.PreviewClick();
      return 0;
  }
  return WindowBase::WndProc(msg, wp, lp);
}

void TOpenPictureDialog2::PaintBox::OnPaint(HDC target, const PAINTSTRUCT&) {
  RECT r;
  GetClientRect(Handle(), &r);
  // Drawn off screen so changing pictures do not flicker.
  PaintBuffered(target, r, [&](HDC dc) {
    const HFONT font = FontOf(dlg_.child_);
    SelectObj sf(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    dlg_.preview_.Paint(dc, r, GetSysColor(COLOR_BTNFACE));
  });
}

void TOpenPictureDialog2::DoShow() {
  Layout();
  // Over the window it was opened from; with the preview panel it is wider
  // than the system places it for.
  PlaceOverOwner(dialog_, GetWindow(dialog_, GW_OWNER));
}

void TOpenPictureDialog2::Layout() {
  if (!child_ || !picturePanel_.Handle()) return;
  dpi_ = DpiOf(child_);
  RECT client;
  GetClientRect(child_, &client);
  // The area right of the standard controls. stc32 spans them when the
  // dialog opens; a sizing dialog may widen them past it later.
  int left = client.right - Scale(169, dpi_);
  if (HWND std = GetDlgItem(child_, stc32)) left = RectIn(std, child_).right;
  HWND grip = nullptr;
  for (HWND w = GetWindow(dialog_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == child_ || !IsWindowVisible(w)) continue;
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    if (lstrcmpiW(cls, L"ScrollBar") == 0) {  // the size grip in the corner
      grip = w;
      continue;
    }
    left = std::max(left, int(RectIn(w, child_).right));
  }
  left = std::min(left, int(client.right));
  const int top = client.top + Scale(kPanelTopGap, dpi_);
  const int pw = std::max(0, int(client.right) - left), ph = std::max(0, int(client.bottom) - top);
  MoveWindow(picturePanel_.Handle(), left, top, pw, ph, TRUE);

  const int b = Scale(kPanelBorder, dpi_), row = Scale(kLabelRow, dpi_);
  const int innerR = std::max(b, pw - b);
  int innerB = std::max(b + row, ph - b);
  // The size grip lies over the dialog's corner: the picture's frame ends above it.
  if (grip) {
    const RECT g = RectIn(grip, picturePanel_.Handle());
    if (g.left < innerR && g.top < innerB) innerB = std::max(b + row, int(g.top) - 1);
  }
  MoveWindow(paintPanel_.Handle(), b, b + row, innerR - b, innerB - b - row, TRUE);
  RECT pp;
  GetClientRect(paintPanel_.Handle(), &pp);
  MoveWindow(paintBox_.Handle(), 2, 2, std::max(0, int(pp.right) - 4), std::max(0, int(pp.bottom) - 4), TRUE);

  const int prevW = Scale(kPreviewW, dpi_), prevH = Scale(kPreviewH, dpi_);
  const int delW = Scale(kDeleteW, dpi_), delH = Scale(kDeleteH, dpi_), gap = Scale(kButtonGap, dpi_);
  const int prevX = innerR - prevW - gap;
  const int delX = prevX - delW - gap;
  MoveWindow(previewButton_.Handle(), prevX, b + (delH - prevH) / 2, prevW, prevH, TRUE);
  MoveWindow(deleteButton_.Handle(), delX, b, delW, delH, TRUE);
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
  if (previewButton_.Handle()) previewButton_.Enable(has);
  if (deleteButton_.Handle()) deleteButton_.Enable(has);
  if (paintBox_.Handle()) InvalidateRect(paintBox_.Handle(), nullptr, FALSE);
}

void TOpenPictureDialog2::PreviewClick() {
  HideHint();
  ShowPreviewWindow(Owner(), preview_.Pic(), dpi_);
}

void TOpenPictureDialog2::DeleteClick() {
  HideHint();
  const std::string name = selected_;
  if (name.empty()) return;
  const int answer = ShowMessage(Owner(), "Delete: " + name, "Delete File...", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
  if (answer != IDOK) return;
  const std::wstring wname = Widen(name);
  if (!DeleteFileW(wname.c_str())) {
    ShowMessage(Owner(), "Unable to delete " + name, "Delete File...", MB_OK | MB_ICONWARNING);
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
  pictureLabel_ = nullptr;
}

INT_PTR TOpenPictureDialog2::DlgProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      CreateControls(Handle());
      return TRUE;
    case WM_NOTIFY:
      switch (reinterpret_cast<NMHDR*>(lParam)->code) {
        case CDN_INITDONE:
          DoShow();
          // Once the dialog is on screen the standard controls have their final places.
          PostMessageW(Handle(), kRelayoutMessage, 0, 0);
          break;
        case CDN_SELCHANGE:
          DoSelectionChange();
          break;
        case CDN_FOLDERCHANGE:
          // The shown file is no longer the one listed; never delete a file out of view.
          preview_.Clear();
          selected_.clear();
          UpdateState();
          break;
        case CDN_FILEOK:
          HideHint();
          break;
      }
      return 0;
    case WM_SIZE:
    case kRelayoutMessage:
      Layout();
      return 0;
    case WM_DESTROY:
      DestroyControls();
      return 0;
  }
  return 0;
}

}  // namespace griv
