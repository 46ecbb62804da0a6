// Where a printed image, its header line and its notes go on the page. All
// coordinates are printer device pixels. They are 32-bit throughout: a 600 or
// 1200 dpi page is wider than 16-bit coordinates can hold.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace griv {

// The integer nearest to x, an exact half going to the even neighbour;
// saturates at the ends of the 32-bit range (NaN gives 0).
int32_t Nearest(double x);

inline constexpr int32_t kPrintTopMargin = 125;    // image top; Zoom's least left; notes' top on a new page
inline constexpr int32_t kPrintPageMargins = 250;  // both margins together, for Full and Best
inline constexpr int32_t kHeaderGap = 15;          // between the header line and the image
inline constexpr int32_t kNoteLineExtra = 5;       // added to the height of "X" for a notes line
inline constexpr int32_t kNotesFarLeft = 700;      // notes under an image further right than this...
inline constexpr int32_t kNotesLeft = 225;         // ...start here instead

struct PrintPlacement {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  friend bool operator==(const PrintPlacement&, const PrintPlacement&) = default;
};

enum class PrintFit { Full, Best, Zoom };
// "Zoom" and "Best" (any case) are themselves; every other value prints as Full.
PrintFit ParsePrintFit(std::string_view style);

// The page turns to the picture: landscape for a picture wider than high.
inline bool AutoOrientLandscape(int32_t imageW, int32_t imageH) { return imageW > imageH; }

// Places a W x H picture on a PW x PH page, already cut to the page. zoom is
// the view's zoom factor (used by Zoom only). A picture or page without area
// gives an empty placement.
PrintPlacement PlaceImage(PrintFit fit, int32_t imageW, int32_t imageH, double zoom, int32_t pageW,
                          int32_t pageH, bool landscape);

// Narrows a rectangle that runs past the right or bottom edge so that it ends
// there; the picture is then squeezed into it, not cropped. Never negative.
void CutToPage(PrintPlacement& p, int32_t pageW, int32_t pageH);

// The header line: short date, five spaces, short time, five spaces, caption;
// or the caption alone.
std::string HeaderText(bool withDate, std::string_view date, std::string_view time, std::string_view caption);
// Top of the header line, whose text is textHeight high.
inline int32_t HeaderTop(const PrintPlacement& p, int32_t textHeight) { return p.Top - textHeight - kHeaderGap; }

// One step of printing the notes: draw line `line` at (x, y) clipped to
// `height` rows, or (newPage) go on to a fresh page first.
struct NoteOp {
  bool newPage = false;
  int32_t x = 0, y = 0, height = 0;
  size_t line = 0;
  friend bool operator==(const NoteOp&, const NoteOp&) = default;
};
// The notes under a placed image: one line every (xHeight + 5) rows, moving
// to the top of a new page once past nine tenths of the page.
std::vector<NoteOp> LayoutNotes(const PrintPlacement& p, int32_t pageH, int32_t xHeight, size_t lineCount);

}  // namespace griv
