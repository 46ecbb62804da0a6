// Smooth reduction of a picture: each new pixel is the average of the part
// of the picture it covers (area averaging), so shrunk text and lines stay
// readable instead of losing the rows and columns a plain stretch skips.
#pragma once
#include "base/picture.h"

namespace griv {

// src (8, 24 or 32 bpp) reduced to w x h, 24 bpp; each side no larger than
// the source's (larger sides are an error: std::invalid_argument).
Picture ShrinkSmooth(const Picture& src, int w, int h);

// The largest size inside maxW x maxH with the picture's proportions, never
// larger than the picture, each side at least 1.
struct ThumbSize {
  int width = 0, height = 0;
};
ThumbSize FitInside(int width, int height, int maxW, int maxH);

}  // namespace griv
