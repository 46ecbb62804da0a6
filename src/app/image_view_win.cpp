// The image document on screen: the scroll box with the shown image, zoom,
// undo, clear, crop, greys, panning, key short cuts and command enabling.
#include <windowsx.h>

#include "app/app_win.h"
#include "app/main_form_win.h"
#include "base/dib_win.h"
#include "base/file_io.h"
#include "base/utf.h"
#include "resource.h"

namespace griv {

namespace {
const wchar_t kScrollBoxClass[] = L"GrivScrollBox";
constexpr int kLineStepX = 4, kLineStepY = 5;
}  // namespace

void TfrmCaptureForm::CreateScrollBox() {
  WNDCLASSEXW wc{sizeof wc};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ScrollBoxProc;
  wc.hInstance = inst_;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;
  wc.lpszClassName = kScrollBoxClass;
  RegisterClassExW(&wc);
  scrollBox_ = CreateWindowExW(WS_EX_CLIENTEDGE, kScrollBoxClass, L"", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL,
                               0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(IDC_SCROLLBOX), inst_, this);
  handDrag_ = LoadCursorW(inst_, L"HANDDRAG");
  UpdateScrollBars();
}

LRESULT CALLBACK TfrmCaptureForm::ScrollBoxProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_NCCREATE)
    SetWindowLongPtrW(w, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
  auto* self = reinterpret_cast<TfrmCaptureForm*>(GetWindowLongPtrW(w, GWLP_USERDATA));
  if (!self || m == WM_NCCREATE || !self->scrollBox_) return DefWindowProcW(w, m, wp, lp);
  LRESULT r = 0;
  bool handled = false;
  Guarded([&] {
    r = self->ScrollBoxMessage(m, wp, lp);
    handled = true;
  });
  return handled ? r : DefWindowProcW(w, m, wp, lp);
}

LRESULT TfrmCaptureForm::ScrollBoxMessage(UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(scrollBox_, &ps);
      PaintView(dc);
      EndPaint(scrollBox_, &ps);
      return 0;
    }
    case WM_SIZE:
      UpdateScrollBars();
      return 0;
    case WM_HSCROLL:
      ScrollView(SB_HORZ, LOWORD(wp), 0);
      return 0;
    case WM_VSCROLL:
      ScrollView(SB_VERT, LOWORD(wp), 0);
      return 0;
    case WM_MOUSEWHEEL: {
      int delta = GET_WHEEL_DELTA_WPARAM(wp);
      for (int i = 0; i < 3; ++i) ScrollView(SB_VERT, delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      SetFocus(hwnd_);
      const int x = GET_X_LPARAM(lp) + scrollX_, y = GET_Y_LPARAM(lp) + scrollY_;
      const Picture& shown = doc_.ShownImage();
      if (x < shown.width && y < shown.height)
        Image1MouseDown(m == WM_LBUTTONDOWN ? 0 : m == WM_RBUTTONDOWN ? 1 : 2, x, y);
      return 0;
    }
    case WM_MOUSEMOVE:
      Image1MouseMove(GET_X_LPARAM(lp) + scrollX_, GET_Y_LPARAM(lp) + scrollY_);
      return 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
      Image1MouseUp();
      return 0;
    case WM_RBUTTONUP:
      Image1MouseUp();
      return DefWindowProcW(scrollBox_, m, wp, lp);  // brings the image menu
    case WM_CAPTURECHANGED:
      if (panLastX_ != -1) Image1MouseUp();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && panLastX_ != -1 && handDrag_) {
        SetCursor(handDrag_);
        return TRUE;
      }
      break;
  }
  return DefWindowProcW(scrollBox_, m, wp, lp);
}

void TfrmCaptureForm::PaintView(HDC dc) {
  RECT rc;
  GetClientRect(scrollBox_, &rc);
  const Picture& shown = doc_.ShownImage();
  // Background around the picture, without painting under it (no flicker).
  HRGN rest = CreateRectRgnIndirect(&rc);
  if (!shown.Empty()) {
    HRGN pic = CreateRectRgn(-scrollX_, -scrollY_, shown.width - scrollX_, shown.height - scrollY_);
    CombineRgn(rest, rest, pic, RGN_DIFF);
    DeleteObject(pic);
  }
  FillRgn(dc, rest, GetSysColorBrush(COLOR_BTNFACE));
  DeleteObject(rest);
  if (shown.Empty()) return;
  // Only the rows in view are handed to GDI.
  const int firstRow = std::max(0, scrollY_);
  const int lastRow = std::min(shown.height, scrollY_ + static_cast<int>(rc.bottom));
  if (firstRow >= lastRow) return;
  BITMAPINFO bi = TopDownInfo(shown.width, lastRow - firstRow, 24);
  SetDIBitsToDevice(dc, -scrollX_, firstRow - scrollY_, static_cast<DWORD>(shown.width),
                    static_cast<DWORD>(lastRow - firstRow), 0, 0, 0, static_cast<UINT>(lastRow - firstRow),
                    shown.Row(firstRow), &bi, DIB_RGB_COLORS);
}

void TfrmCaptureForm::UpdateScrollBars() {
  if (!scrollBox_) return;
  RECT rc;
  GetClientRect(scrollBox_, &rc);
  const Picture& shown = doc_.ShownImage();
  SCROLLINFO si{sizeof si};
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = std::max(0, shown.width - 1);
  si.nPage = static_cast<UINT>(rc.right);
  scrollX_ = std::clamp(scrollX_, 0, std::max(0, shown.width - static_cast<int>(rc.right)));
  si.nPos = scrollX_;
  SetScrollInfo(scrollBox_, SB_HORZ, &si, TRUE);
  si.nMax = std::max(0, shown.height - 1);
  si.nPage = static_cast<UINT>(rc.bottom);
  scrollY_ = std::clamp(scrollY_, 0, std::max(0, shown.height - static_cast<int>(rc.bottom)));
  si.nPos = scrollY_;
  SetScrollInfo(scrollBox_, SB_VERT, &si, TRUE);
}

void TfrmCaptureForm::ScrollView(int bar, int code, int) {
  SCROLLINFO si{sizeof si};
  si.fMask = SIF_ALL;
  GetScrollInfo(scrollBox_, bar, &si);
  const int step = bar == SB_HORZ ? kLineStepX : kLineStepY;
  int pos = si.nPos;
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
  SetScrollInfo(scrollBox_, bar, &si, TRUE);
  ScrollWindowEx(scrollBox_, bar == SB_HORZ ? delta : 0, bar == SB_VERT ? delta : 0, nullptr, nullptr, nullptr,
                 nullptr, SW_INVALIDATE);
  UpdateWindow(scrollBox_);
}

// ---------------------------------------------------------------- document operations

void TfrmCaptureForm::RenderView(double ratio) {
  bool ok = doc_.RenderView(doc_.FullImage(), ratio);
  scrollX_ = scrollY_ = 0;
  UpdateScrollBars();
  InvalidateRect(scrollBox_, nullptr, FALSE);
  if (!ok)
    ShowMessage(doc_.ZoomFailureMessage(), dialogCaption_, MB_OK | MB_ICONWARNING);
}

void TfrmCaptureForm::ShowImageStatus() {
  std::string text = doc_.StatusText() + autoSaveNote_;
  autoSaveNote_.clear();
  SetStatusText(0, text);
}

void TfrmCaptureForm::EnableUndoCommands(bool on) {
  const UINT f = MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED);
  EnableMenuItem(mainMenu_, CM_UNDO, f);
  toolBar_.Enable(CM_UNDO, on);
  // The pop-up item stays enabled from the start and does nothing without an undo.
  EnableMenuItem(imageMenu_, CM_UNDO, MF_BYCOMMAND | MF_ENABLED);
}

void TfrmCaptureForm::SaveUndo() {
  if (doc_.SaveUndo()) EnableUndoCommands(true);
}

void TfrmCaptureForm::ResetZoom() {
  doc_.ResetZoom();
  for (int id = CM_ZMI01; id <= CM_ZMI10; ++id) CheckMenuItem(mainMenu_, id, MF_BYCOMMAND | MF_UNCHECKED);
  for (int id = CM_ZMO01; id <= CM_ZMO10; ++id) CheckMenuItem(mainMenu_, id, MF_BYCOMMAND | MF_UNCHECKED);
  CheckMenuItem(mainMenu_, CM_ZMI01, MF_BYCOMMAND | MF_CHECKED);
  CheckMenuItem(mainMenu_, CM_ZMO01, MF_BYCOMMAND | MF_CHECKED);
  EnableMenuItem(mainMenu_, CM_ADDCURSOR, MF_BYCOMMAND | (MenuEnabled(CM_PRINT) ? MF_ENABLED : MF_GRAYED));
}

bool TfrmCaptureForm::MenuEnabled(int id) {
  UINT st = GetMenuState(mainMenu_, static_cast<UINT>(id), MF_BYCOMMAND);
  return st != static_cast<UINT>(-1) && !(st & (MF_GRAYED | MF_DISABLED));
}

void TfrmCaptureForm::ZoomTo(int n, int d) {
  WaitCursor wait;
  for (int id = CM_ZMI01; id <= CM_ZMI10; ++id) CheckMenuItem(mainMenu_, id, MF_BYCOMMAND | MF_UNCHECKED);
  for (int id = CM_ZMO01; id <= CM_ZMO10; ++id) CheckMenuItem(mainMenu_, id, MF_BYCOMMAND | MF_UNCHECKED);
  ZoomResult r = doc_.ZoomTo(n, d);
  EnableMenuItem(mainMenu_, CM_ADDCURSOR, MF_BYCOMMAND | (r.addCursorEnabled ? MF_ENABLED : MF_GRAYED));
  scrollX_ = scrollY_ = 0;
  UpdateScrollBars();
  InvalidateRect(scrollBox_, nullptr, FALSE);
  if (!r.rendered) ShowMessage(doc_.ZoomFailureMessage(), dialogCaption_, MB_OK | MB_ICONWARNING);
  ShowImageStatus();
}

void TfrmCaptureForm::zmiClick(int n) {
  if (n == 1) {
    ZoomTo(1, 1);
    ResetZoom();
    return;
  }
  ZoomTo(n, 1);
  CheckMenuItem(mainMenu_, CM_ZMI01 + n - 1, MF_BYCOMMAND | MF_CHECKED);
}

void TfrmCaptureForm::zmoClick(int d) {
  if (d == 1) {
    ZoomTo(1, 1);
    ResetZoom();
    return;
  }
  ZoomTo(1, d);
  CheckMenuItem(mainMenu_, CM_ZMO01 + d - 1, MF_BYCOMMAND | MF_CHECKED);
}

void TfrmCaptureForm::EnableImageCommands(bool present) {
  const bool printSetup = MenuEnabled(CM_PRINTSETUP);
  ImageCommandState st = ComputeImageCommands(present, printSetup, !settings_.ImageEditor.empty(), doc_.FullImage());
  auto main = [&](int id, bool on) { EnableMenuItem(mainMenu_, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  auto pop = [&](int id, bool on) { EnableMenuItem(imageMenu_, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  main(CM_SAVEAS, st.saveAs);
  main(CM_SAVEASSHOWN, st.saveAsShown);
  main(CM_SAVEENCRYPTED, st.saveEncrypted);
  main(CM_CLEAR, st.clear);
  main(CM_COPY, st.copy);
  main(CM_GREY, st.greys);
  toolBar_.Enable(CM_SAVE, st.btnSave);
  toolBar_.Enable(CM_COPY, st.btnCopy);
  toolBar_.Enable(CM_CLEAR, st.btnClear);
  toolBar_.Enable(CM_CROP, st.btnCrop);
  pop(CM_CLEAR, st.popClear);
  pop(CM_COPY, st.popCopy);
  pop(CM_CROP, st.popCrop);
  pop(CM_GREY, st.popGrey);
  pop(CM_SAVE, st.popSave);
  // "Zoom In" and "Zoom Out" are the first two items of the Image menu.
  HMENU image = GetSubMenu(mainMenu_, 3);
  EnableMenuItem(image, 0, MF_BYPOSITION | (st.zoomIn ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(image, 1, MF_BYPOSITION | (st.zoomOut ? MF_ENABLED : MF_GRAYED));
  main(CM_ADDCURSOR, st.addCursor);
  main(CM_SENDMAIL, st.sendEmail);
  toolBar_.Enable(CM_SENDMAIL, st.btnEmail);
  main(CM_EDITOR, st.editor);
  main(CM_PRINT, st.print);
  toolBar_.Enable(CM_PRINT, st.btnPrint);
  main(CM_PRINTPREVIEW, st.printPreview);
  toolBar_.Enable(CM_PRINTPREVIEW, st.btnPreview);
  pop(CM_PRINT, st.popPrint);
  pop(CM_PRINTPREVIEW, st.popPreview);
  toolBar_.Enable(CM_SELECTAREA, st.btnSelect);
  EnableMenuItem(trayMenu_, CM_CAPAREANOW, MF_BYCOMMAND | MF_ENABLED);
  EnableMenuItem(trayMenu_, CM_AUTOSAVE, MF_BYCOMMAND | MF_ENABLED);
  pop(CM_AUTOSAVE, st.popAutoSave);
  pop(CM_SENDMAIL, st.popSendEmail);
  DrawMenuBar(hwnd_);
  UpdateNotesCommands();
}

void TfrmCaptureForm::mnuUndoClick() {
  if (!doc_.UndoAvailable()) return;
  const bool wasCleared = !MenuEnabled(CM_CLEAR);
  doc_.Undo();
  EnableUndoCommands(false);
  scrollX_ = scrollY_ = 0;
  UpdateScrollBars();
  InvalidateRect(scrollBox_, nullptr, FALSE);
  if (doc_.RenderFailed()) ShowMessage(doc_.ZoomFailureMessage(), dialogCaption_, MB_OK | MB_ICONWARNING);
  ShowImageStatus();
  if (wasCleared) EnableImageCommands(true);
}

void TfrmCaptureForm::Clear1Click() {
  SaveUndo();
  doc_.Clear();
  scrollX_ = scrollY_ = 0;
  UpdateScrollBars();
  InvalidateRect(scrollBox_, nullptr, FALSE);
  EnableImageCommands(false);
  SetStatusText(0, "");
}

void TfrmCaptureForm::btnCropClick() {
  doc_.SetCropMode(true);
  struct Reset {
    ImageDocument& d;
    ~Reset() { d.SetCropMode(false); }
  } reset{doc_};
  CaptureArea();
}

void TfrmCaptureForm::mOptGreyClick() {
  WaitCursor wait;
  const std::string temp = dataFolder_ + "~~tmp.jpg";
  struct Remove {
    const std::string& name;
    ~Remove() {
      if (FileExists(name)) DeleteFileUtf8(name);
    }
  } remove{temp};
  WriteImageFile(temp, true, false);
  LoadImageFile(temp, true);
}

void TfrmCaptureForm::CancelStamping() {
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  toolBar_.SetDown(CM_STAMPICON, false);
}

// ---------------------------------------------------------------- panning

void TfrmCaptureForm::Image1MouseDown(int button, int x, int y) {
  if (button != 0 || toolBar_.IsDown(CM_STAMPICON) || doc_.CropMode()) return;
  RECT outer;
  GetWindowRect(scrollBox_, &outer);
  const Picture& shown = doc_.ShownImage();
  if (shown.height > outer.bottom - outer.top || shown.width > outer.right - outer.left) {
    panLastX_ = x;
    panLastY_ = y;
    SetCapture(scrollBox_);
    if (handDrag_) SetCursor(handDrag_);
  } else {
    panLastX_ = -1;
  }
}

void TfrmCaptureForm::Image1MouseMove(int x, int y) {
  if (panLastX_ == -1 || doc_.CropMode()) return;
  if (std::abs(panLastX_ - x) >= 3) SendMessageW(scrollBox_, WM_HSCROLL, x > panLastX_ ? SB_LINERIGHT : SB_LINELEFT, 0);
  panLastX_ = x;
  ProcessMessages();
  if (panLastX_ == -1) return;  // the button came up meanwhile
  if (std::abs(panLastY_ - y) >= 3) SendMessageW(scrollBox_, WM_VSCROLL, y > panLastY_ ? SB_LINEDOWN : SB_LINEUP, 0);
  panLastY_ = y;
  ProcessMessages();
}

void TfrmCaptureForm::Image1MouseUp() {
  const bool panning = panLastX_ != -1;
  panLastX_ = panLastY_ = -1;
  if (panning && GetCapture() == scrollBox_) ReleaseCapture();
  CancelStamping();
}

// ---------------------------------------------------------------- keys

void TfrmCaptureForm::FormKeyDown(WPARAM key, bool ctrl, bool& handled) {
  handled = true;
  if (key == VK_F1 && !ctrl) {
    // Help contents come with the help file.
  } else if (key == VK_ESCAPE && !ctrl) {
    CancelStamping();
  } else if (ctrl && key == VK_PRIOR) {
    OpenAdjacentNumbered(false);
  } else if (ctrl && key == VK_NEXT) {
    OpenAdjacentNumbered(true);
  } else if (ctrl && key == 'N') {
    // Printing with notes comes with printing.
  } else if (ctrl && key == VK_F2) {
    if (MenuEnabled(CM_SAVEAS)) AutoSaveImage();
  } else {
    handled = false;
  }
}

}  // namespace griv
