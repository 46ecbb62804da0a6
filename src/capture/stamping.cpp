#include "capture/stamping.h"

#include <algorithm>

namespace griv {

namespace {
constexpr StampShape kShapes[kStampShapeCount] = {
    {2, StampCursor::Arrow, -10, -10, false},      {3, StampCursor::Cross, -10, -10, false},
    {4, StampCursor::IBeam, -10, -9, false},       {6, StampCursor::SizeNESW, -10, -10, false},
    {7, StampCursor::SizeNS, -10, -9, false},      {8, StampCursor::SizeNWSE, -10, -10, false},
    {9, StampCursor::SizeWE, -10, -10, false},     {10, StampCursor::UpArrow, -10, -11, false},
    {11, StampCursor::HourGlass, -10, -10, false}, {12, StampCursor::Drag, 0, 0, true},
    {13, StampCursor::NoDrop, -10, -9, true},      {14, StampCursor::HSplit, -16, -14, true},
    {15, StampCursor::VSplit, -14, -12, true},     {16, StampCursor::MultiDrag, 0, 0, true},
    {17, StampCursor::SQLWait, -16, -13, true},    {18, StampCursor::No, -10, -10, false},
    {19, StampCursor::AppStart, -10, -10, false},  {20, StampCursor::Help, -10, -10, false},
    {21, StampCursor::HandPoint, -7, -1, true},    {22, StampCursor::SizeAll, -10, -10, false},
};
}  // namespace

const StampShape& StampShapeAt(int imageIndex) {
  return kShapes[imageIndex >= 0 && imageIndex < kStampShapeCount ? imageIndex : 0];
}

std::optional<StampSelection> SelectStampCursor(int tag) {
  for (const StampShape& s : kShapes)
    if (s.tag == tag) return StampSelection{-tag, s.offsetX, s.offsetY, s.cursor};
  return std::nullopt;
}

int StoredStampIconIndex(int stored) { return stored >= 0 && stored < kStampShapeCount ? stored : 0; }

int PopupIconMenuY(int windowTop, int screenHeight, int dpi) {
  const int menu = (480 * dpi + 48) / 96;
  return windowTop + menu > screenHeight ? screenHeight - menu : windowTop;
}

void AlphaFromTwoGrounds(const uint8_t* onBlack, const uint8_t* onWhite, uint8_t* out, size_t pixels) {
  for (size_t i = 0; i < pixels * 4; i += 4) {
    const int through = (onWhite[i] - onBlack[i] + onWhite[i + 1] - onBlack[i + 1] + onWhite[i + 2] - onBlack[i + 2]) / 3;
    if (through < 0) {  // brighter on black: an inverting part
      for (int c = 0; c < 3; ++c) out[i + c] = onWhite[i + c];
      out[i + 3] = 255;
      continue;
    }
    const uint8_t alpha = static_cast<uint8_t>(255 - std::min(through, 255));
    for (int c = 0; c < 3; ++c) out[i + c] = std::min(onBlack[i + c], alpha);
    out[i + 3] = alpha;
  }
}

}  // namespace griv
