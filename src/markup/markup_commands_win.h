// Marking up the picture of the main window: the "&Markup" menu and the tool
// bar's drop-down button, the letter keys, the pointer of each tool, the
// mouse on the view and the marks painted over it, and the marks in every
// output (the document takes them through its overlay).
#pragma once
#include <windows.h>

#include <functional>

#include "image/document_host_win.h"
#include "markup/mark_renderer_win.h"
#include "markup/markup_session.h"
#include "ui/app_window_win.h"
#include "ui/commands.h"

namespace griv {

// The view that shows the picture, as the marks need it.
class MarkupViewHost {
 public:
  virtual ~MarkupViewHost() = default;
  // Paints a part of the shown picture again (its own coordinates, scrolling not taken off).
  virtual void RepaintPicture(const PixelBox& area) = 0;
  // The pointer over the picture may have to change (a tool picked or dropped).
  virtual void PointerChanged() = 0;
};

class MarkupCommands {
 public:
  MarkupCommands(AppWindow& app, DocumentHost& doc, MarkupViewHost& view);
  ~MarkupCommands();
  MarkupCommands(const MarkupCommands&) = delete;
  MarkupCommands& operator=(const MarkupCommands&) = delete;

  void AddTo(CommandTable& table);
  // At start-up: the colour, width and pixelation kept from the last run.
  void LoadSettings();

  // ---- the view, in coordinates of the shown picture
  // A button went down on the picture: true when a tool took it (no panning then).
  bool MouseDown(int button, int x, int y);
  // A mark being drawn or moved: the view sends the pointer here until the button comes up.
  bool Dragging() const { return session_.Dragging(); }
  void MouseMove(int x, int y);
  void MouseUp(int x, int y);
  // The mouse was taken away in the middle of a drag: the mark is dropped.
  void DragLost();
  // The pointer of the picked tool; null without one.
  HCURSOR Cursor();
  // Paints area of the shown picture, the marks over it, at (destX, destY);
  // false when no mark is shown (the view then paints the picture itself).
  bool Paint(HDC dc, int destX, int destY, const PixelBox& area);

  // ---- keys of the main window; true when used
  bool KeyDown(WPARAM key);
  // A typed character (WM_CHAR) while a text is being typed.
  bool Char(wchar_t c);
  // Ctrl+Z and the Undo commands: the last mark action first; false when
  // none is left (the picture's own undo then).
  bool Undo();

  // The tool bar button's picture: the tool picked (or the last one) in the mark colour.
  void PaintGlyph(HDC dc, const RECT& r, bool enabled);
  // Raised when a tool is picked (stamping gives way) and when the button's picture changes.
  std::function<void()> OnToolPicked;
  std::function<void()> OnGlyphChanged;

 private:
  void Pick(MarkupTool tool);
  void ChooseColour();
  void SetWidth(int width);
  void TogglePixelate();
  void DropDown();
  void StoreSettings();
  // The view's zoom and the window's DPI, before every use of the session.
  void Sync();
  // Paints again what the last change touched.
  void Flush();
  bool Present() { return doc_.Document().Present(); }

  AppWindow& app_;
  DocumentHost& doc_;
  MarkupViewHost& view_;
  MarkupSession session_;
  MarkOverlay overlay_;
  MarkViewPainter painter_;
  MarkupTool lastTool_ = MarkupTool::Arrow;
  HCURSOR cursors_[11] = {};
  int cursorSize_ = 0;
  wchar_t highSurrogate_ = 0;
};

}  // namespace griv
