// Pictures handed to GDI: bitmap headers and DIB sections.
#pragma once
#include <windows.h>

#include "base/handles_win.h"
#include "base/picture.h"

namespace griv {

// A BITMAPINFO with room for a full palette.
struct PictureInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
  BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// Top-down header of a w x h picture of the given depth, without palette.
BITMAPINFO TopDownInfo(int width, int height, int bits);
// The header of a picture, top-down, with its palette for 8 bits.
void FillPictureInfo(const Picture& pic, PictureInfo& info);

// A DIB section, deleted with its owner.
struct DibSection {
  UniqueBitmap bitmap;
  void* bits = nullptr;
  void Reset() {
    bitmap.reset();
    bits = nullptr;
  }
};
// A top-down DIB section with the picture's size and format (palette included).
bool MakeDibSection(const Picture& pic, DibSection& dib, bool copyPixels);

// Makes pic a w x h picture of 24 or 32 bits whose pixels live in a DIB
// section of its own, so GDI draws straight into the picture. The old
// storage is freed first; the pixels start black. Throws EInvalidPicture
// for a size beyond the limits, std::bad_alloc when there is no bitmap.
void ResizeIntoBitmap(Picture& pic, int w, int h, int bits);
// The picture's bitmap, when its pixels live in one of its own size and
// depth (ResizeIntoBitmap); null otherwise. Call GdiFlush after drawing
// into it and before reading the pixels.
HBITMAP PictureBitmap(const Picture& pic);

}  // namespace griv
