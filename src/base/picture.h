// A picture in memory: the layout of a Windows DIB (B,G,R[,X] per pixel, rows
// padded to 4 bytes) but stored top-down. 8-bit pictures carry a palette.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace griv {

// Leaves new elements uninitialised: a picture that is about to be filled
// completely (a screen grab) need not be cleared first.
template <class T>
struct DefaultInitAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <class U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... A>
  void construct(U* p, A&&... a) {
    ::new (static_cast<void*>(p)) U(std::forward<A>(a)...);
  }
};
using PixelBuffer = std::vector<uint8_t, DefaultInitAllocator<uint8_t>>;

// Not a valid picture (corrupt, truncated, unsupported or absurdly large data).
class EInvalidPicture : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Picture {
  Picture() = default;
  Picture(const Picture&) = default;
  // A picture moved from is empty, never a size without pixels.
  Picture(Picture&& other) noexcept { *this = std::move(other); }
  // The storage takes the size of the copy: a large buffer is never kept
  // behind a small picture (undo copies would otherwise hold the largest
  // picture ever seen).
  Picture& operator=(const Picture& other);
  Picture& operator=(Picture&& other) noexcept {
    if (this != &other) {
      width = std::exchange(other.width, 0);
      height = std::exchange(other.height, 0);
      bpp = std::exchange(other.bpp, 24);
      pixels = std::move(other.pixels);
      palette = std::move(other.palette);
      other.pixels.clear();
      other.palette.clear();
    }
    return *this;
  }

  int width = 0;
  int height = 0;
  int bpp = 24;                    // 8, 24 or 32
  PixelBuffer pixels;              // height rows of Stride() bytes, top row first
  std::vector<uint32_t> palette;   // 8 bpp only: entries 0x00RRGGBB (RGBQUAD order in memory)

  static int StrideFor(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }
  int Stride() const { return StrideFor(width, bpp); }
  bool Empty() const { return width <= 0 || height <= 0; }
  uint8_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * Stride(); }
  const uint8_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * Stride(); }

  // Allocates width x height at bpp, zero-filled, in storage of exactly that
  // size; throws EInvalidPicture when the size is beyond the limits below.
  void Resize(int w, int h, int bits);
  // Resize for a caller that writes every byte itself: no clearing (storage
  // of the same size is reused as it is).
  void ResizeForOverwrite(int w, int h, int bits);
  // The size test of Resize without allocating; throws EInvalidPicture.
  static void CheckSize(int w, int h, int bits);
  void Clear() { *this = Picture(); }
};

// A 24-bit copy of any picture: 8-bit pixels through their palette (indexes
// past the palette's end become black), 32-bit pixels lose the X byte.
Picture ConvertTo24(const Picture& src);

// Palette of 256 greys, black to white.
std::vector<uint32_t> GreyPalette();

// Largest picture the program agrees to hold. The 32-bit program keeps the
// picture, its undo copy and the shown view at once (and a decoded file next
// to all of them while it loads), so one picture must stay well below a
// quarter of the address space: 64 Mi pixels (three 4K monitors side by side
// are 25 Mi) of at most 4 bytes.
inline constexpr int kMaxPictureSide = 65535;
inline constexpr uint64_t kMaxPicturePixels = 64ull << 20;
inline constexpr uint64_t kMaxPictureBytes = kMaxPicturePixels * 4;

}  // namespace griv
