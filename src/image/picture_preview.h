// What the open dialog previews: the picture of the selected file, loaded
// within fixed bounds (the dialog must stay responsive whatever file the
// user points at), and the averaging scaler that shrinks it into the box.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/picture.h"

namespace griv {

// Files above this size are not previewed (reading them would stall the dialog).
inline constexpr int64_t kPreviewMaxFileBytes = int64_t(64) << 20;
// Pictures whose header declares more pixels than this are not decoded.
inline constexpr int64_t kPreviewMaxPixels = 50'000'000;

// The size a BMP or JPEG file declares, from its header without decoding
// the pixels (a JPEG's through the decoder's own header pass). False when
// the data is neither or its header is unreadable.
bool DeclaredSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height);

// The preview picture of file content: BMP or JPEG recognised by its first
// bytes, refused when it declares more than kPreviewMaxPixels. Empty when
// there is no picture; never throws.
Picture PreviewPictureFromBytes(const uint8_t* data, size_t size);
// The same for a named file: empty for folders, missing or unreadable files
// and files of fewer than 2 or more than kPreviewMaxFileBytes bytes.
Picture LoadPreviewPicture(const std::string& fileName);

// A 24-bit copy of pic at w x h: each pixel is the average of the source
// pixels it covers, so reductions of screenshots stay legible; enlargements
// repeat pixels. Empty when either picture is empty.
Picture ScalePicture(const Picture& pic, int w, int h);

}  // namespace griv
