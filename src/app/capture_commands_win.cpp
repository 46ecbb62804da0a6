// The three capture routines and the fixed steps after every capture.
#include "app/main_form_win.h"
#include "image/picture_area.h"
#include "base/utf.h"
#include "capture/cap_area_win.h"
#include "capture/grab_win.h"
#include "capture/selection.h"
#include "resource.h"
#include "ui/help_topics.h"
#include "ui/help_win.h"
#include "ui/ui_win.h"

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
  Picture pic = doc_.TakeSpare();  // a buffer of the same size fills without page faults
  const POINT origin = GrabMonitor(pic, monitorIndex_);
  if (settings_.InclMouse) DrawMouseCursor(pic, origin.x, origin.y);
  PresentCapture(std::move(pic));
  doc_.SetStatusAction("Full Screen capture");
  ShowImageStatus();
}

// The capture becomes the image at 1:1, the window pops up and the automatic steps run in their order.
void TfrmCaptureForm::PresentCapture(Picture pic) {
  KeepScreenCacheAWhile();
  doc_.SetFullImage(std::move(pic));
  RenderView(1.0);
  EnableImageCommands(true);
  if (settings_.PopUp) {
    GrowForFirstCapture();
    RestoreMainWindow();
  }
  DoAutoCopy();
  DoAutoPrint();
  DoAutoSave();
  DoAutoEdit();
}

void TfrmCaptureForm::CaptureActiveWindow() {
  CancelStamping();
  const HWND target = lastActiveWindow_;
  if (!target || !IsWindow(target)) return;
  currentFileName_.clear();
  SetForegroundWindow(target);
  SaveUndo();
  ResetZoom();
  Picture pic = doc_.TakeSpare();
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
  const bool wasShown = IsWindowVisible(Handle()) != FALSE;
  ShowWindow(Handle(), SW_HIDE);
  CaptureArea();
  // An abandoned selection leaves the window as the user had it.
  if (wasShown && !IsWindowVisible(Handle())) RestoreMainWindow();
}

void TfrmCaptureForm::CaptureArea() {
  const bool crop = doc_.CropMode();
  for (;;) {
    CancelStamping();
    ProcessMessages();
    Sleep(200);  // a window that was just hidden must be gone from the screen
    SaveUndo();
    TfrmCapArea overlay(monitorIndex_);
    KeepScreenCacheAWhile();
    HWND help = nullptr;
    overlay.OnHelp = [&help] {
      help = ShowHelpContext(nullptr, kHelpAreaOverlay);
      // The overlay stays on top of everything: the help has to come above it.
      if (help) SetWindowPos(help, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    };
    const bool chosen = overlay.ShowModal();
    // Help read during the selection stays open, as an ordinary window again.
    if (help && IsWindow(help)) SetWindowPos(help, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!chosen) return;  // abandoned: the document stays as it was
    const RECT& r = overlay.SelRect();
    const Picture& frozen = overlay.FrozenScreen();
    const SelectedArea sel = SelectionOf({r.left, r.top, r.right, r.bottom}, frozen.width, frozen.height);
    if (!sel.valid) {
      if (ShowMessage(kEmptySelectionMessage, dialogCaption_, MB_OKCANCEL | MB_ICONWARNING) == IDOK) continue;
      return;
    }
    Sleep(static_cast<DWORD>(areaCaptureDelay_));
    currentFileName_.clear();  // only now: an abandoned selection keeps the name for "Save"
    Picture part = CopyArea(frozen, sel.left, sel.top, sel.width, sel.height);
    // A crop is made on the zoomed view and keeps the image at its own scale;
    // an area of the screen is taken pixel for pixel.
    double ratio = crop ? doc_.ZoomRatio() : 1.0;
    if (ratio == 0) ratio = 1;
    if (!crop) ResetZoom();
    if (ratio == 1) {
      doc_.SetFullImage(std::move(part));
    } else {
      const PixelSize size = CropScaledSize(sel.width, sel.height, ratio);
      Picture full;
      full.Resize(size.width, size.height, part.bpp);
      StretchInto(part, full);
      doc_.SetFullImage(std::move(full));
    }
    RenderView(ratio);
    break;
  }
  EnableImageCommands(true);
  if (settings_.PopUp) {
    if (!crop) GrowForFirstCapture();
    RestoreMainWindow();
  }
  DoAutoCopy();
  if (!crop) {
    DoAutoPrint();
    DoAutoSave();
    DoAutoEdit();
  }
  doc_.SetStatusAction("Selected area captured");
  ShowImageStatus();
}

void TfrmCaptureForm::DoAutoCopy() {
  if (settings_.AutoClipCopy) mnuCopyClick();
}

void TfrmCaptureForm::DoAutoPrint() {
  // Without a printer Print is disabled, and Auto Print quietly does nothing.
  if (settings_.AutoPrint && CommandEnabled(CM_PRINT, kMainMenu, CommandState())) Print1Click();
}

void TfrmCaptureForm::DoAutoSave() {
  if (settings_.AutoSave) AutoSaveImage();
}

void TfrmCaptureForm::DoAutoEdit() {
  if (settings_.AutoEdit) mnuEditorClick();
}

}  // namespace griv
