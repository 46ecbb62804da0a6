// The speed button of the tool bar and the open dialog: a button that never
// keeps the keyboard focus, shows a glyph or a caption, and tells its owner
// of a click with WM_COMMAND (BN_CLICKED). Flat buttons light up under the
// pointer; a toggle button stays down once clicked until SetDown(false).
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "base/handles_win.h"
#include "ui/window_base_win.h"

namespace griv {

class SpeedButton : public WindowBase {
 public:
  enum class Look { Flat, Push };
  // Draws a glyph centred in r.
  using GlyphPainter = std::function<void(HDC dc, const RECT& r, bool enabled, int dpi)>;

  struct Options {
    Look look = Look::Flat;
    bool toggle = false;
    // Clicks are posted, so a long command never runs inside the button's
    // own mouse handling; dialogs get them sent at once.
    bool postClicks = true;
    HWND notify = nullptr;  // receives the clicks; the parent when null
    COLORREF downColor = RGB(0xC0, 0xDC, 0xC0);
  };

  void Create(HWND parent, int id, const std::wstring& caption, int x, int y, int w, int h, const Options& options,
              bool enabled = true);
  void SetGlyph(GlyphPainter painter);
  // A bitmap glyph (not owned) of size x size pixels; its bottom-left pixel
  // is the transparent colour, and its dark pixels make the disabled look.
  void SetBitmapGlyph(HBITMAP glyph, int size);
  void SetCaption(const std::wstring& caption);
  void Enable(bool on) { EnableWindow(Handle(), on); }
  bool Enabled() const { return IsWindowEnabled(Handle()) != FALSE; }
  void SetDown(bool down);
  bool Down() const { return down_; }
  int Id() const { return id_; }

 private:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
  void PaintFace(HDC dc, const RECT& r);
  void Click();

  int id_ = 0;
  Options options_;
  GlyphPainter painter_;
  HBITMAP bitmap_ = nullptr;
  int bitmapSize_ = 0;
  COLORREF transparent_ = 0;
  UniqueBitmap mask_;
  HFONT font_ = nullptr;
  bool tracking_ = false, pressed_ = false, hot_ = false, down_ = false;
};

}  // namespace griv
