// Pictures on the clipboard are packed DIBs: a bitmap header, its colour
// table or masks and the pixels, without the file header of a BMP file.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/picture.h"

namespace griv {

// Reads a packed DIB with the same checks and limits as a BMP file: data
// that is corrupt, truncated or larger than the picture limits throws
// EInvalidPicture before anything large is allocated.
Picture ReadPackedDib(const uint8_t* data, size_t size);

}  // namespace griv
