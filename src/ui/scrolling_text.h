// The scrolling tag line without the window: its properties, the stencil
// geometry, the edge-fade colours and the stepping of the text offset. The
// Win32 control measures the text, keeps the bitmaps and paints; every rule
// that decides what it paints lives here.
//
// Picture of one frame: a stencil bitmap (text width + 2 x control width wide)
// is filled with the background colour and has the text cut out of it in a
// transparent colour; behind it lies a fade background in the font colour with
// vertical lines blending from the background colour at both ends. The
// stencil is drawn transparently at (offset, 0) over the fade background.
#pragma once
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace griv {

enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TTextDirection { tdLeftToRight, tdRightToLeft };

// Colours are 0x00BBGGRR.
inline constexpr uint32_t kStencilGreen = 0x008000;
inline constexpr uint32_t kStencilRed = 0x0000FF;
inline constexpr uint32_t kStencilBlue = 0xFF0000;

class EColorIndex : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

// a * b / c rounded half away from zero, in 64 bits; 0 when c is 0.
int MulDivRound(int a, int b, int c);

// Colour of step `step` (1-based) of `steps` from `from` to `to`, per channel
// from + (to - from) * (step - 1) / (steps - 1) with rounding. One step is the
// start colour. Throws EColorIndex "ColorIndex can't be less than 1 or greater
// than <steps>" when step lies outside 1..steps.
uint32_t ColorStep(uint32_t from, uint32_t to, int step, int steps);

// The stencil's transparent colour: green, unless the font or the background
// is green, then red; blue when those two are green and red, so the colour
// never equals the background (which would make the whole stencil a hole).
uint32_t StencilTransparentColor(uint32_t fontColor, uint32_t backColor);

// Top of the text in the stencil (halves rounded toward zero for the centre).
int StencilTextY(TTextLayout layout, int controlHeight, int textHeight);

// Width of the stencil: the text with one control width of blank on each side.
inline int StencilWidth(int textWidth, int controlWidth) { return textWidth + 2 * controlWidth; }

// Offset at which a pass starts: the text just outside the edge it enters by.
int StartOffset(TTextDirection dir, int controlWidth, int stencilWidth);

struct FadeLine {
  int x;
  uint32_t color;
};
// The fade background's vertical lines in drawing order: for i = 0 ..
// fadeWidth-1 one at x = i and one at x = width-1-i, in step i+1 of fadeWidth
// from the background to the font colour. None for a fade width of 0 or less.
std::vector<FadeLine> FadeLines(int width, int fadeWidth, uint32_t backColor, uint32_t fontColor);

struct StepResult {
  int offset;
  bool textDone;  // the text has scrolled fully through on this step
};
// One step without the event: moves by pixelJump in the direction; when the
// text has gone out at the far side the offset wraps to the start.
StepResult StepOffset(TTextDirection dir, int offset, int pixelJump, int controlWidth, int stencilWidth);

// Properties and state of one scrolling text. The Win32 control forwards its
// property setters here, rebuilds its bitmaps when a setter reports a change
// that needs it, and calls Tick from its timer.
class ScrollingTextModel {
 public:
  // Defaults of a newly created control; the system colours are passed in
  // because only the platform knows them.
  explicit ScrollingTextModel(uint32_t buttonFace = 0xC0C0C0, uint32_t windowText = 0x000000);

  const std::string& Text() const { return text_; }
  // True when the text changed (the stencil must be rebuilt); the same text
  // again changes nothing.
  bool SetText(const std::string& text);

  int Speed() const { return speed_; }
  void SetSpeed(int ms) { speed_ = ms < 1 ? 1 : ms; }
  int PixelJump() const { return pixelJump_; }
  void SetPixelJump(int px) { pixelJump_ = px; }
  int EdgeFadeWidth() const { return edgeFadeWidth_; }
  bool SetEdgeFadeWidth(int w);
  uint32_t BackgroundColor() const { return backColor_; }
  bool SetBackgroundColor(uint32_t c);
  uint32_t FontColor() const { return fontColor_; }
  bool SetFontColor(uint32_t c);
  TTextLayout Layout() const { return layout_; }
  bool SetLayout(TTextLayout l);
  TTextDirection TextDirection() const { return direction_; }
  // A new direction restarts the pass from its entry edge.
  bool SetTextDirection(TTextDirection d);

  bool Visible() const { return visible_; }
  // Hiding also disables (stops the stepping); showing does not re-enable.
  void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool e) { enabled_ = e; }

  // Raised each time the text has scrolled fully through.
  std::function<void()> OnTextDone;

  // Measurements of the current text in the current font, after a rebuild.
  void SetMetrics(int controlWidth, int controlHeight, int textWidth, int textHeight);
  int ControlWidth() const { return controlWidth_; }
  int ControlHeight() const { return controlHeight_; }
  int TextWidth() const { return textWidth_; }
  int StencilWidth() const { return griv::StencilWidth(textWidth_, controlWidth_); }
  int TextY() const { return StencilTextY(layout_, controlHeight_, textHeight_); }
  int TextX() const { return controlWidth_; }
  uint32_t TransparentColor() const { return StencilTransparentColor(fontColor_, backColor_); }
  std::vector<FadeLine> Fade() const { return FadeLines(controlWidth_, edgeFadeWidth_, backColor_, fontColor_); }

  int Offset() const { return offset_; }
  void ResetOffset() { offset_ = StartOffset(direction_, controlWidth_, StencilWidth()); }

  // One timer tick. Does nothing and returns false while disabled. The event
  // is raised before the offset wraps, so a handler that sets a new text has
  // the new pass start from the new text's measurements.
  bool Tick();

 private:
  std::string text_ = "Text";
  int speed_ = 50;
  int pixelJump_ = 1;
  int edgeFadeWidth_ = 15;
  uint32_t backColor_;
  uint32_t fontColor_;
  TTextLayout layout_ = TTextLayout::tlCenter;
  TTextDirection direction_ = TTextDirection::tdLeftToRight;
  bool visible_ = true;
  bool enabled_ = true;
  int controlWidth_ = 50, controlHeight_ = 18, textWidth_ = 0, textHeight_ = 0;
  int offset_ = 0;
};

// Where the banner strip lies over a main window's title bar.
struct BannerRect {
  int left, top, width, height;
};
BannerRect BannerPlacement(int mainLeft, int mainTop, int mainWidth, int captionHeight, int frameHeight,
                           int leftBorder, int rightBorder);

}  // namespace griv
