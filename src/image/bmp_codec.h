// Windows BMP files in memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/picture.h"

namespace griv {

// Reads a BMP file (file header + core, info, V4 or V5 header).
//   1, 4, 8 bpp and RLE4/RLE8 -> 8 bpp with the file's palette (padded with
//   black to 2^bits entries, so every index has a colour);
//   16 bpp (5-5-5 or bit fields) and 24 bpp -> 24 bpp;
//   32 bpp (plain or bit fields) -> 32 bpp with the X byte 0.
// Bottom-up and top-down files both give a top-down picture. Every size and
// offset is checked before use: corrupt, truncated, unsupported or oversized
// data throws EInvalidPicture. An RLE stream that ends without its end mark
// keeps the rows decoded so far (unwritten pixels take palette index 0).
Picture ReadBmp(const uint8_t* data, size_t size);
inline Picture ReadBmp(const std::vector<uint8_t>& data) { return ReadBmp(data.data(), data.size()); }

// Writes the picture in its own format: 8 bpp with its palette (a grey ramp
// when it has none), 24 bpp, or 32 bpp as BI_RGB with the X byte written as 0.
// Bottom-up rows, BITMAPINFOHEADER. Throws EInvalidPicture for an empty or
// inconsistent picture.
std::vector<uint8_t> WriteBmp(const Picture& pic);

// WriteBmp in pieces, for writers that stream the file without holding all
// of it: the file and info headers with the colour table (the picture is
// checked as WriteBmp does), then `count` stored rows of pic.Stride() bytes
// each, starting at stored row `firstFileRow` (row 0 is the bottom row).
std::vector<uint8_t> BmpHeaders(const Picture& pic);
void BmpFileRows(const Picture& pic, int firstFileRow, int count, uint8_t* out);

}  // namespace griv
