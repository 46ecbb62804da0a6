// PNG files in memory: written as plain 8-bit true colour, read in every
// colour type, bit depth and interlacing. Compression through libdeflate.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/picture.h"

namespace griv {

// libdeflate level of written files. On 1920 x 1080 screenshots level 4
// writes files 2-7% smaller than libpng with zlib's default level in 0.38-0.45
// of its time (bench/png_bench). Level 1 is faster but its files are 13-20%
// larger than libpng's, 2 and 3 save little time and give larger files on
// some pictures, and 5 and up cost time for a few percent.
inline constexpr int kPngLevel = 4;

// True for data that starts with the 8-byte PNG signature.
bool IsPngData(const uint8_t* data, size_t size);
// The width and height a PNG header claims, read without decoding anything
// else (for a size check before decoding); false when the data does not
// start with a signature and an IHDR chunk.
bool PngDeclaredSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height);

// Colour type 2 (RGB), 8 bits per sample, no interlacing, no alpha, one IDAT
// chunk. Each row gets the filter whose output has the smallest sum of
// absolute values (bytes read as signed). 8-bit pictures are written through
// their palette (a grey ramp when they have none; indexes past its end are
// black), 32-bit ones without their X byte. Throws EInvalidPicture for an
// empty or inconsistent picture, or one whose row data would not fit in the
// picture size limit.
std::vector<uint8_t> EncodePng(const Picture& pic, int level = kPngLevel);

// Reads a PNG file:
//   palette files and grey files of 1 to 8 bits -> 8 bpp with a palette
//     (grey levels spread over 0..255), padded with black to 2^depth entries;
//   every other form (16-bit grey, grey + alpha, RGB, RGBA, 8 or 16 bits)
//     -> 24 bpp, 16-bit samples rounded to 8.
// Transparency, from an alpha channel or a tRNS chunk, is composited onto
// white: the program's pictures are opaque, and white is how a transparent
// picture usually looks on a page.
// Every chunk's CRC is checked. The size limits of Picture apply to the
// header before anything is allocated, and the inflated data may not exceed
// the picture byte limit either. Image data that inflates to more or fewer
// bytes than the header implies, or that is followed by other bytes, is
// refused without writing past the expected size; so is compressed data too
// short to possibly hold the picture. Every refusal throws EInvalidPicture.
// Ancillary chunks other than tRNS, and bytes after IEND, are ignored.
Picture DecodePng(const uint8_t* data, size_t size);
inline Picture DecodePng(const std::vector<uint8_t>& data) { return DecodePng(data.data(), data.size()); }

}  // namespace griv
