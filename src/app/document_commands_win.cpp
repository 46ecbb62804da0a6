// The commands that act on the image document directly: zoom, undo, clear,
// crop and greys, and the clicks on the shown picture.
#include "app/main_form_win.h"

#include "base/file_io.h"
#include "base/scope_exit.h"
#include "resource.h"
#include "ui/ui_win.h"

namespace griv {

void TfrmCaptureForm::RenderView(double ratio) {
  const bool ok = doc_.RenderView(doc_.FullImage(), ratio);
  view_.ShowFromStart();
  if (!ok) ShowMessage(doc_.ZoomFailureMessage(), dialogCaption_, MB_OK | MB_ICONWARNING);
}

void TfrmCaptureForm::ShowImageStatus() { SetStatusText(0, doc_.StatusText() + autoSaveNote_); }

void TfrmCaptureForm::SaveUndo() {
  autoSaveNote_.clear();  // a new picture is coming
  doc_.SaveUndo();
  UpdateCommands();
}

void TfrmCaptureForm::ResetZoom() {
  doc_.ResetZoom();
  UpdateCommands();
}

void TfrmCaptureForm::ZoomTo(int n, int d) {
  WaitCursor wait;
  const ZoomResult r = doc_.ZoomTo(n, d);
  view_.ShowFromStart();
  UpdateCommands();
  if (!r.rendered) ShowMessage(doc_.ZoomFailureMessage(), dialogCaption_, MB_OK | MB_ICONWARNING);
  ShowImageStatus();
}

void TfrmCaptureForm::zmiClick(int n) {
  ZoomTo(n, 1);
  if (n == 1) ResetZoom();
}

void TfrmCaptureForm::zmoClick(int d) {
  ZoomTo(1, d);
  if (d == 1) ResetZoom();
}

void TfrmCaptureForm::ZoomToFraction(int n, int d) {
  if (n == 1 && d == 1) zmiClick(1);
  else if (d == 1) zmiClick(n);
  else zmoClick(d);
}

void TfrmCaptureForm::FitToWindow() {
  if (!doc_.Present()) return;
  RECT view;
  GetClientRect(view_.Handle(), &view);
  const ZoomFraction f = FitZoom(doc_.FullImage().width, doc_.FullImage().height, view.right, view.bottom);
  ZoomToFraction(f.numerator, f.denominator);
}

void TfrmCaptureForm::ZoomStep(int steps) {
  if (!doc_.Present()) return;
  const ZoomFraction f = StepZoom(doc_.ZoomRatio(), steps);
  ZoomToFraction(f.numerator, f.denominator);
}

void TfrmCaptureForm::mnuUndoClick() {
  if (!doc_.Undo()) return;
  view_.ShowFromStart();
  UpdateCommands();
  if (doc_.RenderFailed()) ShowMessage(doc_.ZoomFailureMessage(), dialogCaption_, MB_OK | MB_ICONWARNING);
  ShowImageStatus();
}

void TfrmCaptureForm::Clear1Click() {
  SaveUndo();
  doc_.Clear();
  view_.ShowFromStart();
  EnableImageCommands(false);
  SetStatusText(0, "");
}

void TfrmCaptureForm::btnCropClick() {
  doc_.SetCropMode(true);
  ScopeExit reset([&] { doc_.SetCropMode(false); });
  CaptureArea();
}

void TfrmCaptureForm::mOptGreyClick() {
  WaitCursor wait;
  const std::string temp = dataFolder_ + "~~tmp.jpg";
  ScopeExit remove([&] {
    if (FileExists(temp)) DeleteFileUtf8(temp);
  });
  WriteImageFile(temp, true, false);
  LoadImageFile(temp, true);
}

void TfrmCaptureForm::CancelStamping() {
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  if (stampArmed_) {
    stampArmed_ = false;
    UpdateCommands();
  }
}

void TfrmCaptureForm::Image1MouseUp() { CancelStamping(); }

}  // namespace griv
