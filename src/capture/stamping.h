// The twenty pointer shapes that can be stamped onto the image: their order
// in the shape menu, their tags and the offsets used on the shown image.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace griv {

enum class StampCursor {
  Arrow, Cross, IBeam, SizeNESW, SizeNS, SizeNWSE, SizeWE, UpArrow, HourGlass, Drag, NoDrop, HSplit, VSplit,
  MultiDrag, SQLWait, No, AppStart, Help, HandPoint, SizeAll,
};

struct StampShape {
  int tag;  // the menu item's tag; the cursor identifier is -tag
  StampCursor cursor;
  int offsetX, offsetY;  // added to the click when drawing into the shown image
  bool ownResource;      // drawn by the program, not taken from the system
};

inline constexpr int kStampShapeCount = 20;
// Shape k of the menu and of the image list.
const StampShape& StampShapeAt(int imageIndex);

// What the stamping state becomes for a tag.
struct StampSelection {
  int cursorId;  // -tag
  int offsetX, offsetY;
  StampCursor cursor;
};
// The shape of a known tag; nothing for the others (0, 1, 5, above 22), which change nothing.
std::optional<StampSelection> SelectStampCursor(int tag);

// The shape of a stored LastIconIx: the first one for a value out of range.
int StoredStampIconIndex(int stored);

// Where the shape menu opens: at the window's top, or 480 pixels (at 96 DPI,
// the menu's height there; scaled with dpi) above the screen's bottom when
// that would run off it.
int PopupIconMenuY(int windowTop, int screenHeight, int dpi = 96);

// A pointer drawn once on black and once on white gives its picture with
// alpha: how far the two differ is how much background shows through.
// Pixels are B, G, R, X bytes in; out is premultiplied B, G, R, A. Parts
// that invert what lies below come out opaque, dark as on a light ground.
void AlphaFromTwoGrounds(const uint8_t* onBlack, const uint8_t* onWhite, uint8_t* out, size_t pixels);

}  // namespace griv
