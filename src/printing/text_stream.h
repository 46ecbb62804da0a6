// Lays plain text out on printer pages the way a line printer would: runs of
// characters drawn left to right, tabs, CR, LF and FF, and lines wrapped at the
// page's right edge in the middle of a word.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace griv {

// The printer as the text stream sees it: a font to measure with and pages
// to draw on. Sizes are device pixels.
class TextPage {
 public:
  virtual ~TextPage() = default;
  virtual int32_t PageWidth() = 0;
  virtual int32_t PageHeight() = 0;
  virtual int32_t TextWidth(std::u16string_view text) = 0;
  virtual int32_t TextHeight(std::u16string_view text) = 0;
  virtual int32_t AverageCharWidth() = 0;
  // Height of a line that has nothing on it.
  virtual int32_t CharHeight() = 0;
  virtual void Draw(int32_t x, int32_t y, std::u16string_view text) = 0;
  virtual void NewPage() = 0;
};

// Where the next character goes; starts at the top left of the printable area.
struct TextCursor {
  int32_t x = 0, y = 0;
  int32_t lineHeight = 0;  // 0 until something is drawn on the line
};

// Tab stops are 8 average characters apart (T). The stop reached from x is
// x + T - ((x + T + 1) mod T) + 1; a font without width counts as 1.
int32_t NextTabStop(int32_t x, int32_t averageCharWidth);

// Feeds text through the stream onto page, starting at cursor (the whole job
// when it starts at the default). Characters below 32 other than tab, LF, FF
// and CR end a run and print nothing.
void StreamText(std::u16string_view text, TextPage& page, TextCursor& cursor);
inline void StreamText(std::u16string_view text, TextPage& page) {
  TextCursor c;
  StreamText(text, page, c);
}

}  // namespace griv
