// The console text a print job streams onto pages, on a page and a font made
// from the input: every printable unit is drawn once, in order, within the
// page's width (a unit wider than the page alone on its line), and a pair of
// surrogates is never split across lines.
//   bytes 0-1 page width, 2-3 page height, 4 average character width,
//   5 character height, 6-13 widths of the units by their value mod 8,
//   then the text in UTF-16LE.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "printing/text_stream.h"

using namespace griv;

namespace {

bool High(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool Low(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

class Page : public TextPage {
 public:
  Page(const uint8_t* d, std::u16string_view text) : text_(text) {
    width_ = (d[0] | d[1] << 8) % 4096;
    height_ = (d[2] | d[3] << 8) % 4096;
    average_ = d[4] % 64;
    charHeight_ = d[5] % 64;
    for (int i = 0; i < 8; ++i) widths_[i] = d[6 + i] % 64;
  }
  int32_t PageWidth() override { return width_; }
  int32_t PageHeight() override { return height_; }
  int32_t TextWidth(std::u16string_view t) override {
    int32_t w = 0;
    for (char16_t c : t) w += widths_[c % 8];
    return w;
  }
  int32_t TextHeight(std::u16string_view t) override { return t.empty() ? 0 : charHeight_; }
  int32_t AverageCharWidth() override { return average_; }
  int32_t CharHeight() override { return charHeight_; }
  void NewPage() override {}

  void Draw(int32_t x, int32_t y, std::u16string_view part) override {
    if (part.empty() || x < 0 || y < 0) std::abort();
    while (at_ < text_.size() && text_[at_] < 32) ++at_;
    if (text_.substr(at_, part.size()) != part) std::abort();
    at_ += part.size();
    const bool oneCharacter = part.size() == 1 || (part.size() == 2 && High(part[0]) && Low(part[1]));
    if (x + TextWidth(part) > width_ && !(x == 0 && oneCharacter)) std::abort();
    if (High(part.back()) && at_ < text_.size() && Low(text_[at_])) std::abort();
  }

  // Everything after the last drawn unit is control characters.
  bool AllDrawn() const {
    for (size_t i = at_; i < text_.size(); ++i)
      if (text_[i] >= 32) return false;
    return true;
  }

 private:
  std::u16string_view text_;
  size_t at_ = 0;
  int32_t width_, height_, average_, charHeight_, widths_[8];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kHead = 14;
  if (size < kHead) return 0;
  std::u16string text;
  for (size_t i = kHead; i + 1 < size; i += 2) text += char16_t(data[i] | data[i + 1] << 8);
  Page page(data, text);
  StreamText(text, page);
  if (!page.AllDrawn()) std::abort();
  return 0;
}
