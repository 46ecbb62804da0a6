#include "image/clipboard_dib.h"

#include <vector>

#include "image/bmp_codec.h"

namespace griv {

namespace {
uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
constexpr uint32_t kBitFields = 3;
}  // namespace

Picture ReadPackedDib(const uint8_t* data, size_t size) {
  if (!data || size < 12) throw EInvalidPicture("No bitmap header");
  const uint32_t headerSize = Le32(data);
  if (headerSize < 12 || headerSize > size) throw EInvalidPicture("Bad bitmap header");
  // Refuse an oversized picture before copying its bytes anywhere.
  int64_t width, height;
  if (headerSize == 12) {
    width = Le16(data + 4);
    height = Le16(data + 6);
  } else {
    if (size < 40) throw EInvalidPicture("Bad bitmap header");
    width = int32_t(Le32(data + 4));
    height = int32_t(Le32(data + 8));
  }
  if (width <= 0 || height == 0 || height < -kMaxPictureSide || width > kMaxPictureSide || height > kMaxPictureSide)
    throw EInvalidPicture("Unsupported picture size");
  Picture::CheckSize(int(width), int(height < 0 ? -height : height), 32);
  uint64_t table = 0;
  if (headerSize == 12) {
    const uint16_t bits = Le16(data + 10);
    if (bits <= 8) table = (uint64_t(1) << bits) * 3;
  } else {
    if (headerSize < 40) throw EInvalidPicture("Bad bitmap header");
    const uint16_t bits = Le16(data + 14);
    const uint32_t compression = Le32(data + 16);
    const uint32_t used = Le32(data + 32);
    // The three masks follow a plain info header; the larger headers hold them.
    if (compression == kBitFields && headerSize == 40) table += 12;
    const uint64_t colours = used ? used : (bits <= 8 ? uint64_t(1) << bits : 0);
    if (colours > 256) throw EInvalidPicture("Bad colour table");
    table += colours * 4;
  }
  const uint64_t offset = 14 + uint64_t(headerSize) + table;
  if (offset > 14 + uint64_t(size)) throw EInvalidPicture("Truncated bitmap");
  // A BMP file is the same bytes behind a file header that says where the pixels start.
  std::vector<uint8_t> file(14 + size);
  file[0] = 'B';
  file[1] = 'M';
  Put32(&file[2], uint32_t(file.size()));
  Put32(&file[10], uint32_t(offset));
  std::copy(data, data + size, file.begin() + 14);
  return ReadBmp(file);
}

}  // namespace griv
