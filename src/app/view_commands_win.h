// The image document on the main window's view: the zoom menus and steps,
// undo and clear, the clicks on the picture, and the document's operations
// the features use to show a new picture (DocumentHost).
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "app/image_view_win.h"
#include "image/document_host_win.h"
#include "options/settings.h"
#include "ui/app_window_win.h"
#include "ui/commands.h"

namespace griv {

class ViewCommands : public DocumentHost, public ImageViewHost, public MarkupViewHost {
 public:
  ViewCommands(AppWindow& app, ImageDocument& doc, const Settings& settings)
      : app_(app), doc_(doc), settings_(settings) {}

  void AddTo(CommandTable& table);
  // The view and the image menu, once created.
  void Attach(ImageView& view, HMENU imageMenu);
  // The user has given the window its size (a stored position): the first capture keeps it.
  void KeepWindowSize(bool kept) { hadStoredPosition_ = kept; }

  // Clicks on the picture go to the tool that wants them first (stamping).
  std::function<bool(int button, int x, int y)> OnPictureMouseDown;
  std::function<void()> OnPictureMouseUp;
  // Undo takes back what lies over the picture first (marks); true when it did.
  std::function<bool()> OnUndo;

  // DocumentHost
  ImageDocument& Document() override { return doc_; }
  void SaveUndo() override;
  void ResetZoom() override;
  void RenderView(double ratio) override;
  void ShowImageStatus() override;
  void PopUp(bool grow) override;
  void RepaintView() override;

  // MarkupViewHost
  void RepaintPicture(const PixelBox& area) override;
  void PointerChanged() override;

 private:
  // ImageViewHost
  bool Image1MouseDown(int button, int x, int y) override;
  void Image1MouseUp() override;
  bool CropMode() const override { return doc_.CropMode(); }
  void ShowImageMenu(POINT screen) override;
  void TakeFocus() override { SetFocus(app_.Window()); }
  void ZoomStep(int steps) override;
  std::string EmptyViewText() const override { return CaptureKeysHint(settings_.CaptureHotKeyTexts()); }

  void ZoomTo(int n, int d);
  void ZoomToFraction(int n, int d);
  void FitToWindow();
  void Undo();
  void Clear();
  void WarnZoomFailed();
  // The first capture larger than the view, while the window still has its
  // first size, makes it large enough to show it, up to the monitor's work area.
  void GrowForFirstCapture();

  AppWindow& app_;
  ImageDocument& doc_;
  const Settings& settings_;
  ImageView* view_ = nullptr;
  HMENU imageMenu_ = nullptr;
  bool firstCaptureShown_ = false;
  bool hadStoredPosition_ = false;
};

}  // namespace griv
