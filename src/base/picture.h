// A picture in memory: the layout of a Windows DIB (B,G,R[,X] per pixel, rows
// padded to 4 bytes) but stored top-down. 8-bit pictures carry a palette.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace griv {

// Not a valid picture (corrupt, truncated, unsupported or absurdly large data).
class EInvalidPicture : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Picture {
  int width = 0;
  int height = 0;
  int bpp = 24;                    // 8, 24 or 32
  std::vector<uint8_t> pixels;     // height rows of Stride() bytes, top row first
  std::vector<uint32_t> palette;   // 8 bpp only: entries 0x00RRGGBB (RGBQUAD order in memory)

  static int StrideFor(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }
  int Stride() const { return StrideFor(width, bpp); }
  bool Empty() const { return width <= 0 || height <= 0; }
  uint8_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * Stride(); }
  const uint8_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * Stride(); }

  // Allocates width x height at bpp, zero-filled; throws EInvalidPicture when the
  // size is not sensible (each side at most 65535 and at most 512 MiB of pixels).
  void Resize(int w, int h, int bits);
  // The size test of Resize without allocating; throws EInvalidPicture.
  static void CheckSize(int w, int h, int bits);
  void Clear() { *this = Picture(); }
};

// A 24-bit copy of any picture: 8-bit pixels through their palette (indexes
// past the palette's end become black), 32-bit pixels lose the X byte.
Picture ConvertTo24(const Picture& src);

// Palette of 256 greys, black to white.
std::vector<uint32_t> GreyPalette();

// Largest picture the program agrees to hold, in bytes of pixel data.
inline constexpr uint64_t kMaxPictureBytes = 512ull << 20;
inline constexpr int kMaxPictureSide = 65535;

}  // namespace griv
