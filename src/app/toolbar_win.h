// The main window's tool bar: a panel of flat speed buttons with hints and
// drawn glyphs, laid out in 96-DPI pixels and scaled to the window's DPI.
#pragma once
#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "ui/glyphs_win.h"
#include "ui/speed_button_win.h"

namespace griv {

struct ToolButtonDef {
  int command;
  int x, y, w, h;  // 96-DPI pixels inside the panel
  const wchar_t* hint;
  Glyph glyph;
  const wchar_t* caption = nullptr;
  bool toggle = false;  // stays down when clicked (stamping button)
};

// The buttons in their order on the bar.
std::span<const ToolButtonDef> ToolButtons();

class ToolBar : private WindowBase {
 public:
  // Creates the 34-pixel panel as a child of parent; clicks reach parent as WM_COMMAND.
  void Create(HWND parent, int dpi);
  void SetDpi(int dpi);
  using WindowBase::Handle;
  int Height() const;
  void Enable(int command, bool on);
  bool IsEnabled(int command) const;
  void SetDown(int command, bool down);
  void SetCaption(int command, const std::wstring& caption);
  void SetGlyph(int command, SpeedButton::GlyphPainter painter);
  void Repaint(int command);
  HWND ButtonHandle(int command) const;
  template <class F>
  void ForEachCommand(F&& f) const {
    for (const auto& b : buttons_) f(b->Id());
  }

 private:
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  void Layout();
  SpeedButton* Find(int command);
  const SpeedButton* Find(int command) const;
  int S(int v) const { return MulDiv(v, dpi_, 96); }

  HWND tips_ = nullptr;
  int dpi_ = 96;
  std::vector<std::unique_ptr<SpeedButton>> buttons_;
};

}  // namespace griv
