#include "base/picture.h"

#include <algorithm>
#include <cstring>

namespace griv {

void PixelBuffer::Free() noexcept {
  if (external_) external_.reset();
  else ::operator delete(data_);
  data_ = nullptr;
  size_ = capacity_ = 0;
}

void PixelBuffer::reserve(size_t n) {
  if (n <= capacity_) return;
  auto* fresh = static_cast<uint8_t*>(::operator new(n));
  if (size_) std::memcpy(fresh, data_, size_);
  const size_t kept = size_;
  Free();
  data_ = fresh;
  size_ = kept;
  capacity_ = n;
}

void PixelBuffer::resize(size_t n) {
  if (n > capacity_) reserve(std::max(n, 2 * size_));
  size_ = n;
}

void PixelBuffer::assign(size_t n, uint8_t v) {
  clear();
  resize(n);
  if (n) std::memset(data_, v, n);
}

void PixelBuffer::assign(const uint8_t* first, const uint8_t* last) {
  const size_t n = size_t(last - first);
  clear();
  resize(n);
  if (n) std::memmove(data_, first, n);
}

void PixelBuffer::push_back(uint8_t v) {
  if (size_ == capacity_) reserve(std::max<size_t>(16, 2 * size_));
  data_[size_++] = v;
}

void PixelBuffer::swap(PixelBuffer& o) noexcept {
  std::swap(data_, o.data_);
  std::swap(size_, o.size_);
  std::swap(capacity_, o.capacity_);
  std::swap(external_, o.external_);
}

void PixelBuffer::Adopt(std::unique_ptr<ExternalPixels> storage, size_t size) {
  Free();
  if (!storage) return;
  capacity_ = storage->Capacity();
  data_ = storage->Bytes();
  size_ = std::min(size, capacity_);
  external_ = std::move(storage);
}

bool operator==(const PixelBuffer& a, const PixelBuffer& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

namespace {
// Storage of exactly `bytes`. A buffer of another size is freed before the
// new one is asked for, so the two never coexist.
void SizeStorage(PixelBuffer& px, size_t bytes) {
  if (px.capacity() == bytes) return;
  PixelBuffer().swap(px);
  px.reserve(bytes);
}
}  // namespace

void Picture::CheckSize(int w, int h, int bits) {
  if (w < 0 || h < 0 || w > kMaxPictureSide || h > kMaxPictureSide || (bits != 8 && bits != 24 && bits != 32))
    throw EInvalidPicture("Unsupported picture size or format");
  if (uint64_t(w) * uint64_t(h) > kMaxPicturePixels ||
      uint64_t(StrideFor(w, bits)) * uint64_t(h) > kMaxPictureBytes)
    throw EInvalidPicture("Picture too large");
}

Picture& Picture::operator=(const Picture& other) {
  if (this == &other) return *this;
  SizeStorage(pixels, other.pixels.size());
  pixels.assign(other.pixels.begin(), other.pixels.end());
  palette = other.palette;
  width = other.width;
  height = other.height;
  bpp = other.bpp;
  return *this;
}

void Picture::Resize(int w, int h, int bits) {
  CheckSize(w, h, bits);
  const size_t bytes = static_cast<size_t>(uint64_t(StrideFor(w, bits)) * uint64_t(h));
  width = height = 0;  // consistent even when the allocation below fails
  SizeStorage(pixels, bytes);
  pixels.assign(bytes, 0);
  width = w;
  height = h;
  bpp = bits;
  if (bits != 8) palette.clear();
}

void Picture::ResizeForOverwrite(int w, int h, int bits) {
  CheckSize(w, h, bits);
  const size_t bytes = static_cast<size_t>(uint64_t(StrideFor(w, bits)) * uint64_t(h));
  width = height = 0;
  SizeStorage(pixels, bytes);
  pixels.resize(bytes);
  width = w;
  height = h;
  bpp = bits;
  if (bits != 8) palette.clear();
}

Picture ConvertTo24(const Picture& src) {
  Picture out;
  out.Resize(src.width, src.height, 24);
  if (src.Empty()) return out;
  uint8_t lut[256][3] = {};
  if (src.bpp == 8) {
    size_t n = std::min<size_t>(src.palette.size(), 256);
    for (size_t i = 0; i < n; ++i) {
      lut[i][0] = uint8_t(src.palette[i]);
      lut[i][1] = uint8_t(src.palette[i] >> 8);
      lut[i][2] = uint8_t(src.palette[i] >> 16);
    }
  }
  for (int y = 0; y < src.height; ++y) {
    const uint8_t* s = src.Row(y);
    uint8_t* d = out.Row(y);
    switch (src.bpp) {
      case 24:
        std::memcpy(d, s, size_t(src.width) * 3);
        break;
      case 32:
        for (int x = 0; x < src.width; ++x, s += 4, d += 3) d[0] = s[0], d[1] = s[1], d[2] = s[2];
        break;
      default:
        for (int x = 0; x < src.width; ++x, d += 3) std::memcpy(d, lut[s[x]], 3);
        break;
    }
  }
  return out;
}

std::vector<uint32_t> GreyPalette() {
  std::vector<uint32_t> p(256);
  for (uint32_t i = 0; i < 256; ++i) p[i] = i | (i << 8) | (i << 16);
  return p;
}

}  // namespace griv
