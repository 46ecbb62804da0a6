// The main window's tool bar: a panel of flat speed buttons with hints and
// drawn glyphs, laid out in 96-DPI pixels and scaled to the window's DPI.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace griv {

enum class Glyph {
  None, Open, Save, Email, PrintSetup, Preview, Print, Undo, Copy, Paste, Clear, Crop, Select, Stamp, StampMenu,
  Help, Exit
};

struct ToolButtonDef {
  int command;
  int x, y, w, h;  // 96-DPI pixels inside the panel
  const wchar_t* hint;
  Glyph glyph;
  const wchar_t* caption = nullptr;
  bool toggle = false;  // stays down when clicked (stamping button)
};

class ToolBar {
 public:
  // Creates the 34-pixel panel as a child of parent; commands go to parent as WM_COMMAND.
  void Create(HWND parent, HINSTANCE inst, int dpi);
  void SetDpi(int dpi);
  HWND Handle() const { return panel_; }
  int Height() const;
  void Enable(int command, bool on);
  bool IsEnabled(int command) const;
  void SetDown(int command, bool down);
  bool IsDown(int command) const;
  void SetCaption(int command, const std::wstring& caption);
  HWND ButtonHandle(int command) const;

 private:
  struct Button {
    ToolButtonDef def;
    HWND hwnd = nullptr;
    bool enabled = true, down = false, hot = false, pressed = false;
    std::wstring caption;
  };
  static LRESULT CALLBACK PanelProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);
  void Layout();
  void PaintButton(Button& b, HDC dc);
  Button* Find(int command);
  const Button* Find(int command) const;
  int S(int v) const { return MulDiv(v, dpi_, 96); }

  HWND parent_ = nullptr, panel_ = nullptr, tips_ = nullptr;
  int dpi_ = 96;
  std::vector<Button> buttons_;
};

// Draws a tool glyph centred in r (also used for menus and dialogs).
void DrawGlyph(HDC dc, const RECT& r, Glyph g, bool enabled, int dpi);

}  // namespace griv
