// Copying a rectangle out of a picture and back in, clipped to the picture:
// the one routine behind area selections and the pointer drawn into a grab.
#pragma once
#include "base/picture.h"

namespace griv {

// A w x h picture of src's depth (and palette) holding src's pixels from
// (left, top). The rectangle may reach past src (a selection dragged off the
// monitor's edge): those pixels are black.
Picture CopyArea(const Picture& src, int left, int top, int w, int h);

// Puts part into dst with its top-left corner at (left, top); what falls
// outside dst is dropped. Both must have the same depth.
void PasteArea(Picture& dst, const Picture& part, int left, int top);

}  // namespace griv
