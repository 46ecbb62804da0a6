// A 32-bit picture with edges everywhere, so no drawing or copy can take a
// short cut on flat areas.
#pragma once
#include <cstdint>

#include "base/picture.h"

namespace griv {

inline Picture PatternPicture(int w, int h) {
  Picture pic;
  pic.Resize(w, h, 32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = pic.Row(y) + 4 * x;
      p[0] = uint8_t(x * 3), p[1] = uint8_t(y * 5), p[2] = uint8_t((x ^ y) & 0xFF);
    }
  return pic;
}

}  // namespace griv
