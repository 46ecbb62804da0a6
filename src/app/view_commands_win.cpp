#include "app/view_commands_win.h"

#include "app/app_commands.h"
#include "ids_app.h"
#include "ui/ui_win.h"

namespace griv {

void ViewCommands::AddTo(CommandTable& table) {
  table.Add(ViewCommandRules(), {{CM_UNDO, CM_UNDO, [this](int) { Undo(); }},
                                 {CM_CLEAR, CM_CLEAR, [this](int) { Clear(); }},
                                 {CM_ZMI01, CM_ZMI10, [this](int id) { ZoomToFraction(id - CM_ZMI01 + 1, 1); }},
                                 {CM_ZMO01, CM_ZMO10, [this](int id) { ZoomToFraction(1, id - CM_ZMO01 + 1); }},
                                 {CM_FITWINDOW, CM_FITWINDOW, [this](int) { FitToWindow(); }},
                                 {CM_ZOOMSTEPIN, CM_ZOOMSTEPIN, [this](int) { ZoomStep(1); }},
                                 {CM_ZOOMSTEPOUT, CM_ZOOMSTEPOUT, [this](int) { ZoomStep(-1); }},
                                 // The zoom menus themselves: enabled as one command each, never run.
                                 {CM_ZOOMIN_MENU, CM_ZOOMOUT_MENU, [](int) {}}});
  table.AddState([this](CommandContext& c) {
    c.image = doc_.Present();
    c.fullImageHasPixels = !doc_.FullImage().Empty();
    c.undo = doc_.UndoAvailable();
    c.oneToOne = doc_.ZoomRatio() == 1.0;
  });
  table.AddChecks([this](std::vector<CheckMark>& marks) { AddZoomChecks(ZoomFractionOf(doc_.ZoomRatio()), marks); });
}

void ViewCommands::Attach(ImageView& view, HMENU imageMenu) {
  view_ = &view;
  imageMenu_ = imageMenu;
}

// ---------------------------------------------------------------- the document's operations

void ViewCommands::SaveUndo() {
  doc_.SaveUndo();
  app_.UpdateCommands();
}

void ViewCommands::ResetZoom() {
  doc_.ResetZoom();
  app_.UpdateCommands();
}

void ViewCommands::RenderView(double ratio) {
  const bool ok = doc_.RenderView(doc_.FullImage(), ratio);
  view_->ShowFromStart();
  if (!ok) WarnZoomFailed();
}

void ViewCommands::ShowImageStatus() { app_.SetStatusText(doc_.StatusText() + doc_.StatusNote()); }

void ViewCommands::PopUp(bool grow) {
  if (grow) GrowForFirstCapture();
  app_.RestoreMainWindow();
}

void ViewCommands::RepaintView() { InvalidateRect(view_->Handle(), nullptr, FALSE); }

void ViewCommands::RepaintPicture(const PixelBox& area) {
  if (view_) view_->RepaintPicture(area);
}

void ViewCommands::PointerChanged() {
  if (view_) view_->RefreshCursor();
}

void ViewCommands::WarnZoomFailed() {
  ShowMessage(app_.Window(), doc_.ZoomFailureMessage(), app_.DialogCaption(), MB_OK | MB_ICONWARNING);
}

void ViewCommands::GrowForFirstCapture() {
  // A size the user has given the window (a stored position) is kept.
  if (firstCaptureShown_ || hadStoredPosition_) return;
  firstCaptureShown_ = true;
  const HWND window = app_.Window();
  const Picture& shown = doc_.ShownImage();
  RECT view, win;
  GetClientRect(view_->Handle(), &view);
  GetWindowRect(window, &win);
  const RECT work = WorkAreaOf(window);
  const auto grown = GrownForPicture(shown.width, shown.height, view.right, view.bottom,
                                     {win.left, win.top, win.right - win.left, win.bottom - win.top},
                                     {work.left, work.top, work.right - work.left, work.bottom - work.top});
  if (!grown || IsZoomed(window)) return;
  SetWindowPos(window, nullptr, grown->left, grown->top, grown->width, grown->height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------- the commands

void ViewCommands::ZoomTo(int n, int d) {
  WaitCursor wait;
  const ZoomResult r = doc_.ZoomTo(n, d);
  view_->ShowFromStart();
  app_.UpdateCommands();
  if (!r.rendered) WarnZoomFailed();
  ShowImageStatus();
}

void ViewCommands::ZoomToFraction(int n, int d) {
  ZoomTo(n, d);
  if (n == 1 && d == 1) ResetZoom();
}

void ViewCommands::FitToWindow() {
  if (!doc_.Present()) return;
  RECT view;
  GetClientRect(view_->Handle(), &view);
  const ZoomFraction f = FitZoom(doc_.FullImage().width, doc_.FullImage().height, view.right, view.bottom);
  ZoomToFraction(f.numerator, f.denominator);
}

void ViewCommands::ZoomStep(int steps) {
  if (!doc_.Present()) return;
  const ZoomFraction f = StepZoom(doc_.ZoomRatio(), steps);
  ZoomToFraction(f.numerator, f.denominator);
}

void ViewCommands::Undo() {
  if (OnUndo && OnUndo()) return;
  if (!doc_.Undo()) return;
  view_->ShowFromStart();
  app_.UpdateCommands();
  if (doc_.RenderFailed()) WarnZoomFailed();
  ShowImageStatus();
}

void ViewCommands::Clear() {
  SaveUndo();
  doc_.Clear();
  view_->ShowFromStart();
  app_.UpdateCommands();
  app_.SetStatusText("");
}

// ---------------------------------------------------------------- the view

bool ViewCommands::Image1MouseDown(int button, int x, int y) {
  return OnPictureMouseDown && OnPictureMouseDown(button, x, y);
}

void ViewCommands::Image1MouseUp() {
  if (OnPictureMouseUp) OnPictureMouseUp();
}

void ViewCommands::ShowImageMenu(POINT pt) {
  TrackPopupMenu(imageMenu_, TPM_RIGHTBUTTON, pt.x, pt.y, 0, app_.Window(), nullptr);
}

}  // namespace griv
