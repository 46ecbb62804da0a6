// A picture in memory: the layout of a Windows DIB (B,G,R[,X] per pixel, rows
// padded to 4 bytes) but stored top-down. 8-bit pictures carry a palette.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace griv {

// Memory of the platform's that a picture's pixels can live in (a bitmap the
// system draws into, so that a screen grab lands in the picture itself).
// Owned by the buffer that adopted it.
class ExternalPixels {
 public:
  virtual ~ExternalPixels() = default;
  virtual uint8_t* Bytes() = 0;
  virtual size_t Capacity() const = 0;
};

// The bytes of a picture, with the vector operations the codecs use. New
// elements are left uninitialised: a picture that is about to be filled
// completely (a screen grab) need not be cleared first. The bytes are on the
// heap, or in ExternalPixels until the buffer must grow past them; a copy
// is always on the heap.
class PixelBuffer {
 public:
  using value_type = uint8_t;
  using size_type = size_t;
  using iterator = uint8_t*;
  using const_iterator = const uint8_t*;
  using reference = uint8_t&;
  using const_reference = const uint8_t&;

  PixelBuffer() = default;
  explicit PixelBuffer(size_t n) { resize(n); }
  PixelBuffer(std::initializer_list<uint8_t> v) { assign(v.begin(), v.end()); }
  PixelBuffer(const PixelBuffer& o) { assign(o.begin(), o.end()); }
  PixelBuffer(PixelBuffer&& o) noexcept { swap(o); }
  PixelBuffer& operator=(const PixelBuffer& o) {
    if (this != &o) assign(o.begin(), o.end());
    return *this;
  }
  PixelBuffer& operator=(PixelBuffer&& o) noexcept {
    PixelBuffer(std::move(o)).swap(*this);
    return *this;
  }
  ~PixelBuffer() { Free(); }

  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }
  uint8_t* begin() { return data_; }
  uint8_t* end() { return data_ + size_; }
  const uint8_t* begin() const { return data_; }
  const uint8_t* end() const { return data_ + size_; }
  uint8_t& operator[](size_t i) { return data_[i]; }
  const uint8_t& operator[](size_t i) const { return data_[i]; }

  void reserve(size_t n);
  void resize(size_t n);  // new bytes uninitialised
  void assign(size_t n, uint8_t v);
  void assign(const uint8_t* first, const uint8_t* last);
  void push_back(uint8_t v);
  void clear() { size_ = 0; }
  void swap(PixelBuffer& o) noexcept;

  // Takes over `storage` as the buffer, of `size` bytes as they are in it
  // (at most its capacity); the old bytes are freed first.
  void Adopt(std::unique_ptr<ExternalPixels> storage, size_t size);
  ExternalPixels* External() const { return external_.get(); }

  friend bool operator==(const PixelBuffer& a, const PixelBuffer& b);
  friend bool operator!=(const PixelBuffer& a, const PixelBuffer& b) { return !(a == b); }

 private:
  void Free() noexcept;

  uint8_t* data_ = nullptr;
  size_t size_ = 0, capacity_ = 0;
  std::unique_ptr<ExternalPixels> external_;  // owns data_ when set; else data_ is from operator new
};

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
