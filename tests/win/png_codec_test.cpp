// The PNG coder as the 32-bit program runs it: SSE2 filtering compiled
// function by function, and libdeflate built for MinGW.
#include <gtest/gtest.h>

#include "../unit/image_craft.h"
#include "image/png_codec.h"

using namespace griv;

TEST(PngCodecWin, RoundTripsOnThirtyTwoBits) {
  for (int w : {1, 3, 17, 64, 641}) {
    Picture noise;
    noise.Resize(w, 5, 24);
    uint32_t seed = uint32_t(w);
    for (auto& b : noise.pixels) b = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
    for (const Picture& p : {noise, craft::TestPattern(w, 7, 24), craft::TestPattern(w, 3, 32)}) {
      const std::vector<uint8_t> file = EncodePng(p);
      EXPECT_EQ(DecodePng(file).pixels, ConvertTo24(p).pixels) << w;
    }
  }
  std::vector<uint8_t> bad = EncodePng(craft::TestPattern(9, 9, 24));
  bad[bad.size() - 20] ^= 4;
  EXPECT_THROW(DecodePng(bad), EInvalidPicture);
}
