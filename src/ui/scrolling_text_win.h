// TALScrollingText: a child window that scrolls one line of text, fading it
// in and out at both ends. It owns its timer and three off-screen bitmaps
// (stencil, fade background, composition buffer); the rules come from
// ScrollingTextModel.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "ui/scrolling_text.h"
#include "ui/window_base_win.h"

namespace griv {

class TALScrollingText : private WindowBase {
 public:
  TALScrollingText();
  TALScrollingText(const TALScrollingText&) = delete;
  TALScrollingText& operator=(const TALScrollingText&) = delete;

  // Creates the child window (50 x 18 unless told otherwise) and starts the
  // timer when enabled. Throws std::runtime_error when the window fails.
  void Create(HWND parent, int x = 0, int y = 0, int width = 50, int height = 18);
  using WindowBase::Handle;
  void SetBounds(int x, int y, int width, int height);

  const std::string& Text() const { return model_.Text(); }
  void SetText(const std::string& text);
  // Milliseconds between steps.
  int Speed() const { return model_.Speed(); }
  void SetSpeed(int ms);
  int PixelJump() const { return model_.PixelJump(); }
  void SetPixelJump(int px) { model_.SetPixelJump(px); }
  int EdgeFadeWidth() const { return model_.EdgeFadeWidth(); }
  void SetEdgeFadeWidth(int px);
  COLORREF BackgroundColor() const { return model_.BackgroundColor(); }
  void SetBackgroundColor(COLORREF c);
  COLORREF FontColor() const { return model_.FontColor(); }
  void SetFontColor(COLORREF c);
  // Face, cell height in pixels (negative: character height, as LOGFONT).
  void SetFont(const std::string& face, int height, bool bold, bool italic);
  TTextLayout Layout() const { return model_.Layout(); }
  void SetLayout(TTextLayout l);
  TTextDirection TextDirection() const { return model_.TextDirection(); }
  void SetTextDirection(TTextDirection d);
  bool Visible() const { return model_.Visible(); }
  // Hiding also disables.
  void SetVisible(bool v);
  bool Enabled() const { return model_.Enabled(); }
  void SetEnabled(bool e);
  // Tool tip over the control; shown only when `show` and the text is not empty.
  void SetHint(const std::string& hint, bool show);
  void SetCursor(HCURSOR c) { cursor_ = c; }

  // Raised when the text has scrolled fully through (from inside a step).
  void SetOnTextDone(std::function<void()> f) { model_.OnTextDone = std::move(f); }
  // Raised on a left click (press and release over the control).
  std::function<void()> OnClick;

  // One timer step: move, raise OnTextDone when due, repaint. What the timer calls.
  void Step();
  int Offset() const { return model_.Offset(); }
  int StencilWidth() const { return model_.StencilWidth(); }
  COLORREF TransparentColor() const { return model_.TransparentColor(); }
  // The last composed frame, row by row from the top, 0x00BBGGRR per pixel
  // (ControlWidth x ControlHeight; empty before the first frame).
  std::vector<uint32_t> Frame() const;
  int ControlWidth() const { return model_.ControlWidth(); }
  int ControlHeight() const { return model_.ControlHeight(); }

 private:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnFinalMessage() override;
  void Rebuild();
  void Compose();
  void UpdateTimer();
  HFONT Font() const;

  ScrollingTextModel model_;
  ClickTracker click_;
  HWND tip_ = nullptr;
  HCURSOR cursor_ = nullptr;
  UniqueFont font_;
  UniqueBitmap stencil_, fade_, buffer_;
  bool timerOn_ = false;
};

}  // namespace griv
