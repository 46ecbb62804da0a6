// JPEG coding through the libjpeg API (libjpeg-turbo).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/picture.h"

namespace griv {

struct JpegDecodeOptions {
  // Luminance only: an 8-bit picture with a 256-step grey palette. Wins over palette8.
  bool grey = false;
  // The decoder's own colour quantisation to at most 256 colours: an 8-bit
  // picture with that palette (for displays that are not true-colour).
  // CMYK files ignore it and give 24 bits.
  bool palette8 = false;
};

// Baseline JFIF, three components (YCbCr 4:2:0), not progressive, libjpeg's
// default tables at the given quality. 8-bit pictures are coded through
// their palette, 32-bit ones without their X byte. Throws EInvalidPicture
// for an empty picture or one libjpeg refuses (sides above 65500).
std::vector<uint8_t> EncodeJpeg(const Picture& pic, int quality = 90);

// The size a JPEG file declares, read by the decoder's own header pass (so
// stray bytes between markers are skipped exactly as decoding skips them).
// False when the data has no readable header.
bool JpegDeclaredSize(const uint8_t* data, size_t size, int& width, int& height);

// Decodes a JPEG file held in memory: 24 bpp unless an option asks for
// 8 bits. Corrupt data, data that ends before the last row, sizes beyond the
// picture limits, pictures larger than their data can describe (pixels,
// memory and scan work are bounded by the input's size) and files that
// need more memory than that throw EInvalidPicture; libjpeg's recoverable
// warnings are ignored.
Picture DecodeJpeg(const uint8_t* data, size_t size, const JpegDecodeOptions& options = {});
inline Picture DecodeJpeg(const std::vector<uint8_t>& data, const JpegDecodeOptions& options = {}) {
  return DecodeJpeg(data.data(), data.size(), options);
}

}  // namespace griv
