#include "ui/scrolling_text.h"

#include <algorithm>

namespace griv {

int MulDivRound(int a, int b, int c) {
  if (c == 0) return 0;
  int64_t p = static_cast<int64_t>(a) * b;
  bool neg = (p < 0) != (c < 0);
  uint64_t up = static_cast<uint64_t>(p < 0 ? -p : p);
  uint64_t uc = static_cast<uint64_t>(c < 0 ? -static_cast<int64_t>(c) : c);
  uint64_t q = (up + uc / 2) / uc;
  return neg ? -static_cast<int>(q) : static_cast<int>(q);
}

uint32_t ColorStep(uint32_t from, uint32_t to, int step, int steps) {
  if (step < 1 || step > steps)
    throw EColorIndex("ColorIndex can't be less than 1 or greater than " + std::to_string(steps));
  if (steps == 1) return from & 0xFFFFFF;
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    int a = static_cast<int>((from >> shift) & 0xFF);
    int b = static_cast<int>((to >> shift) & 0xFF);
    int v = a + MulDivRound(b - a, step - 1, steps - 1);
    out |= static_cast<uint32_t>(std::clamp(v, 0, 255)) << shift;
  }
  return out;
}

uint32_t StencilTransparentColor(uint32_t fontColor, uint32_t backColor) {
  fontColor &= 0xFFFFFF;
  backColor &= 0xFFFFFF;
  if (fontColor != kStencilGreen && backColor != kStencilGreen) return kStencilGreen;
  if (fontColor != kStencilRed && backColor != kStencilRed) return kStencilRed;
  return kStencilBlue;
}

int StencilTextY(TTextLayout layout, int controlHeight, int textHeight) {
  switch (layout) {
    case TTextLayout::tlTop:
      return 0;
    case TTextLayout::tlBottom:
      return controlHeight - textHeight;
    case TTextLayout::tlCenter:
    default:
      return controlHeight / 2 - textHeight / 2;
  }
}

int StartOffset(TTextDirection dir, int controlWidth, int stencilWidth) {
  return dir == TTextDirection::tdRightToLeft ? 0 : controlWidth - stencilWidth;
}

std::vector<FadeLine> FadeLines(int width, int fadeWidth, uint32_t backColor, uint32_t fontColor) {
  std::vector<FadeLine> lines;
  if (fadeWidth <= 0) return lines;
  lines.reserve(static_cast<size_t>(fadeWidth) * 2);
  for (int i = 0; i < fadeWidth; ++i) {
    uint32_t c = ColorStep(backColor, fontColor, i + 1, fadeWidth);
    lines.push_back({i, c});
    lines.push_back({width - 1 - i, c});
  }
  return lines;
}

StepResult StepOffset(TTextDirection dir, int offset, int pixelJump, int controlWidth, int stencilWidth) {
  const int far = controlWidth - stencilWidth;
  if (dir == TTextDirection::tdRightToLeft) {
    offset -= pixelJump;
    if (offset <= far) return {0, true};
  } else {
    offset += pixelJump;
    if (offset >= 0) return {far, true};
  }
  return {offset, false};
}

ScrollingTextModel::ScrollingTextModel(uint32_t buttonFace, uint32_t windowText)
    : backColor_(buttonFace & 0xFFFFFF), fontColor_(windowText & 0xFFFFFF) {}

bool ScrollingTextModel::SetText(const std::string& text) {
  if (text == text_) return false;
  text_ = text;
  return true;
}

bool ScrollingTextModel::SetEdgeFadeWidth(int w) {
  w = std::max(w, 0);
  if (w == edgeFadeWidth_) return false;
  edgeFadeWidth_ = w;
  return true;
}

bool ScrollingTextModel::SetBackgroundColor(uint32_t c) {
  c &= 0xFFFFFF;
  if (c == backColor_) return false;
  backColor_ = c;
  return true;
}

bool ScrollingTextModel::SetFontColor(uint32_t c) {
  c &= 0xFFFFFF;
  if (c == fontColor_) return false;
  fontColor_ = c;
  return true;
}

bool ScrollingTextModel::SetLayout(TTextLayout l) {
  if (l == layout_) return false;
  layout_ = l;
  return true;
}

bool ScrollingTextModel::SetTextDirection(TTextDirection d) {
  if (d == direction_) return false;
  direction_ = d;
  ResetOffset();
  return true;
}

void ScrollingTextModel::SetVisible(bool v) {
  visible_ = v;
  if (!v) enabled_ = false;
}

void ScrollingTextModel::SetMetrics(int controlWidth, int controlHeight, int textWidth, int textHeight) {
  controlWidth_ = std::max(controlWidth, 0);
  controlHeight_ = std::max(controlHeight, 0);
  textWidth_ = std::max(textWidth, 0);
  textHeight_ = std::max(textHeight, 0);
}

bool ScrollingTextModel::Tick() {
  if (!enabled_) return false;
  StepResult r = StepOffset(direction_, offset_, std::max(pixelJump_, 0), controlWidth_, StencilWidth());
  if (r.textDone) {
    if (OnTextDone) OnTextDone();
    // Measured again: the handler may have changed the text.
    offset_ = StartOffset(direction_, controlWidth_, StencilWidth());
  } else {
    offset_ = r.offset;
  }
  return true;
}

BannerRect BannerPlacement(int mainLeft, int mainTop, int mainWidth, int captionHeight, int frameHeight,
                           int leftBorder, int rightBorder) {
  BannerRect r;
  r.left = mainLeft + leftBorder;
  r.top = mainTop + frameHeight + 1;
  // A window narrower than its two borders gets an empty strip, not a negative one.
  r.width = std::max(mainWidth - leftBorder - rightBorder, 0);
  r.height = std::max(captionHeight - frameHeight, 0);
  return r;
}

}  // namespace griv
