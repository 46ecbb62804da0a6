// The scroll box of the main window that shows the document's shown image:
// painting, scroll bars with 4- and 5-pixel line steps, panning with the
// hand cursor. Clicks on the picture go to the main window first (stamping).
#pragma once
#include <windows.h>

#include <string>

#include "image/document.h"
#include "markup/markup_commands_win.h"
#include "ui/window_base_win.h"

namespace griv {

class ImageViewHost {
 public:
  virtual ~ImageViewHost() = default;
  // A button went down on the picture at (x, y) of the shown image; true
  // when the window used the click (stamping), which then does not pan.
  virtual bool Image1MouseDown(int button, int x, int y) = 0;
  // Any button came up over the view.
  virtual void Image1MouseUp() = 0;
  virtual bool CropMode() const = 0;
  virtual void ShowImageMenu(POINT screen) = 0;
  // The keyboard stays with the main window.
  virtual void TakeFocus() = 0;
  // Ctrl and the wheel: one ratio of the zoom menus up or down.
  virtual void ZoomStep(int steps) = 0;
  // The line shown in an empty view.
  virtual std::string EmptyViewText() const = 0;
};

class ImageView : public WindowBase {
 public:
  ImageView(const ImageDocument& doc, ImageViewHost& host) : doc_(doc), host_(host) {}
  void Create(HWND parent, int id);

  // The shown image changed: back to its top-left corner and repaint.
  void ShowFromStart();
  void UpdateScrollBars();
  bool Panning() const { return panLastX_ != -1; }
  // The marks over the picture: they take the drags their tools begin, paint
  // over the picture and choose the pointer.
  void SetMarkup(MarkupCommands* markup) { markup_ = markup; }
  // Paints a part of the shown image again (its coordinates, before scrolling).
  void RepaintPicture(const PixelBox& area);
  // Sets the pointer again when it is over the view.
  void RefreshCursor();

 private:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  void ScrollView(int bar, int code);
  bool MarkDrag() const { return markup_ && markup_->Dragging(); }
  void StartPan(int x, int y);
  void Pan(int x, int y);
  void EndPan();

  const ImageDocument& doc_;
  ImageViewHost& host_;
  int scrollX_ = 0, scrollY_ = 0;
  int panLastX_ = -1, panLastY_ = -1;
  HCURSOR handDrag_ = nullptr;
  int wheelZoom_ = 0;
  MarkupCommands* markup_ = nullptr;
};

}  // namespace griv
