// The three capture routines and the fixed steps after every capture.
#include <cstring>

#include "app/app_win.h"
#include "app/main_form_win.h"
#include "base/utf.h"
#include "capture/cap_area_win.h"
#include "capture/grab_win.h"
#include "resource.h"

namespace griv {

namespace {
constexpr char kEmptySelectionMessage[] =
    "Hold the mouse buton down from the Upper Left corner\r\nto Lower Right corner of the area to be selected.  "
    "\r\nRelease mouse button when complete.  Try Again?";
}

void TfrmCaptureForm::CaptureFullScreen() {
  CancelStamping();
  currentFileName_.clear();
  SaveUndo();
  ResetZoom();
  Picture pic;
  POINT origin = GrabMonitor(pic, monitorIndex_);
  if (settings_.InclMouse) DrawMouseCursor(pic, origin.x, origin.y);
  PresentCapture(std::move(pic));
  doc_.SetStatusAction("Full Screen capture");
  ShowImageStatus();
}

// The capture becomes the image at 1:1, the window pops up and the automatic steps run in their order.
void TfrmCaptureForm::PresentCapture(Picture pic) {
  doc_.SetFullImage(std::move(pic));
  RenderView(1.0);
  EnableImageCommands(true);
  if (settings_.PopUp) RestoreMainWindow();
  DoAutoCopy();
  DoAutoPrint();
  DoAutoSave();
  DoAutoEdit();
}

void TfrmCaptureForm::CaptureActiveWindow() {
  CancelStamping();
  currentFileName_.clear();
  HWND target = lastActiveWindow_;
  if (!target || !IsWindow(target)) return;
  SetForegroundWindow(target);
  SaveUndo();
  ResetZoom();
  Picture pic;
  GrabWindow(target, pic);
  RECT r{};
  GetWindowRect(target, &r);
  if (settings_.InclMouse) DrawMouseCursor(pic, r.left, r.top);
  PresentCapture(std::move(pic));
  wchar_t title[255] = {};
  GetWindowTextW(target, title, 255);
  std::wstring t(title);
  if (t.size() > 254) t.resize(254);
  doc_.SetStatusAction("Captured: [" + Narrow(t) + "]");
  ShowImageStatus();
}

void TfrmCaptureForm::btnSelectClick() {
  ShowWindow(hwnd_, SW_HIDE);
  CaptureArea();
}

void TfrmCaptureForm::CaptureArea() {
  for (;;) {
    CancelStamping();
    currentFileName_.clear();
    ProcessMessages();
    Sleep(200);  // a window that was just hidden must be gone from the screen
    SaveUndo();
    TfrmCapArea overlay(inst_, monitorIndex_);
    if (!overlay.ShowModal()) return;  // abandoned: the document stays as it was
    const RECT sel = overlay.SelRect();
    if (sel.left >= sel.right || sel.top >= sel.bottom) {
      if (ShowMessage(kEmptySelectionMessage, dialogCaption_, MB_OKCANCEL | MB_ICONWARNING) == IDOK) continue;
      return;
    }
    Sleep(static_cast<DWORD>(areaCaptureDelay_));
    const int w = sel.right - sel.left, h = sel.bottom - sel.top;
    const Picture& frozen = overlay.FrozenScreen();
    // The rectangle lies inside the frozen picture (mouse positions may run past its edge).
    Picture part;
    part.Resize(w, h, frozen.bpp);
    const int bytes = frozen.bpp / 8;
    for (int y = 0; y < h; ++y) {
      const int sy = sel.top + y;
      if (sy < 0 || sy >= frozen.height) continue;
      const int sx0 = std::max<int>(0, sel.left), sx1 = std::min<int>(frozen.width, sel.right);
      if (sx0 >= sx1) continue;
      std::memcpy(part.Row(y) + (sx0 - sel.left) * bytes, frozen.Row(sy) + sx0 * bytes,
                  static_cast<size_t>(sx1 - sx0) * bytes);
    }
    double ratio = doc_.ZoomRatio();
    if (ratio == 0) ratio = 1;
    if (ratio == 1) {
      doc_.SetFullImage(std::move(part));
    } else {
      PixelSize size = CropScaledSize(w, h, ratio);
      Picture full;
      full.Resize(size.width, size.height, part.bpp);
      StretchInto(part, full);
      doc_.SetFullImage(std::move(full));
    }
    RenderView(ratio);
    break;
  }
  EnableImageCommands(true);
  if (settings_.PopUp) RestoreMainWindow();
  DoAutoCopy();
  if (!doc_.CropMode()) {
    DoAutoPrint();
    DoAutoSave();
    DoAutoEdit();
  }
  doc_.SetStatusAction("Selected area captured");
  ShowImageStatus();
}

void TfrmCaptureForm::DoAutoCopy() {
  // Copying to the clipboard comes with the clipboard commands.
}

void TfrmCaptureForm::DoAutoPrint() {
  // Printing comes with the printing commands.
}

void TfrmCaptureForm::DoAutoSave() {
  if (settings_.AutoSave) AutoSaveImage();
}

void TfrmCaptureForm::DoAutoEdit() {
  // The editor hand-off comes with the editor commands.
}

}  // namespace griv
