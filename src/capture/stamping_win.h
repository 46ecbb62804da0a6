// Stamping a pointer shape onto the image: the shape menu with its pictures,
// the choice kept across runs, arming and the stamp itself.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "base/handles_win.h"
#include "capture/stamping.h"
#include "image/document_host_win.h"
#include "options/settings.h"
#include "ui/app_window_win.h"
#include "ui/commands.h"

namespace griv {

class StampCommands {
 public:
  StampCommands(AppWindow& app, DocumentHost& doc, Settings& settings) : app_(app), doc_(doc), settings_(settings) {}

  void AddTo(CommandTable& table);
  // At start-up: the shape chosen last time.
  void LoadChoice();
  // The stamping button's picture: the chosen shape.
  void PaintGlyph(HDC dc, const RECT& r);
  // Raised when the chosen shape changes (the button is drawn again).
  std::function<void()> OnGlyphChanged;

  // A button went down on the picture at (x, y) of the shown image: while
  // armed a left click stamps the shape there. True when the click was used.
  bool MouseDown(int button, int x, int y);
  // Disarms (Esc, a capture, the button coming up).
  void Cancel();

  // The shape menu's items are drawn by the program.
  void MeasureItem(MEASUREITEMSTRUCT& m);
  void DrawItem(const DRAWITEMSTRUCT& d);

 private:
  HIMAGELIST StampImages();
  void SelectStampCursor(int tag);
  void PopupIconMenu(int x);
  void ChooseShape(int imageIndex);

  AppWindow& app_;
  DocumentHost& doc_;
  Settings& settings_;
  bool armed_ = false;
  int iconIndex_ = 0;                                   // StampIconIndex
  StampSelection stamp_{0, 0, 0, StampCursor::Arrow};  // StampCursorId and the offsets
  struct ImageListTraits {
    static HIMAGELIST invalid() { return nullptr; }
    static void close(HIMAGELIST h) { ImageList_Destroy(h); }
  };
  UniqueHandle<HIMAGELIST, ImageListTraits> images_;  // ImgIcons
};

}  // namespace griv
