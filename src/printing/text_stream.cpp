#include "printing/text_stream.h"

#include <algorithm>

namespace griv {

int32_t NextTabStop(int32_t x, int32_t averageCharWidth) {
  const int64_t t = std::max<int64_t>(1, int64_t{averageCharWidth} * 8);
  const int64_t next = x + t - ((x + t + 1) % t) + 1;
  return static_cast<int32_t>(std::min<int64_t>(next, INT32_MAX));
}

namespace {

bool HighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool LowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

class Stream {
 public:
  Stream(TextPage& page, TextCursor& c) : page_(page), c_(c) {}

  void Run(std::u16string_view run) {
    while (!run.empty()) {
      size_t n = Fit(run);
      // A character wider than the whole page still gets a line of its own;
      // wrapping it again and again would never end.
      if (n == 0 && c_.x == 0) n = run.size() > 1 && HighSurrogate(run[0]) && LowSurrogate(run[1]) ? 2 : 1;
      int32_t width = 0;
      if (n > 0) {
        std::u16string_view part = run.substr(0, n);
        page_.Draw(c_.x, c_.y, part);
        width = page_.TextWidth(part);
        const int32_t h = page_.TextHeight(part);
        if (h > c_.lineHeight) c_.lineHeight = h + 2;
      }
      if (n < run.size()) {
        NewLine();
      } else {
        c_.x += width;
      }
      run.remove_prefix(n);
    }
  }

  void Tab() {
    c_.x = NextTabStop(c_.x, page_.AverageCharWidth());
    if (c_.x > page_.PageWidth()) NewLine();
  }

  void NewLine() {
    c_.x = 0;
    c_.y += c_.lineHeight ? c_.lineHeight : page_.CharHeight();
    if (int64_t{page_.PageHeight()} - 2 * int64_t{c_.lineHeight} < c_.y) NewPage();
    c_.lineHeight = 0;
  }

  void NewPage() {
    c_.x = 0;
    c_.y = 0;
    page_.NewPage();
  }

 private:
  // The longest leading part of run that fits between x and the right edge.
  size_t Fit(std::u16string_view run) {
    const int64_t room = int64_t{page_.PageWidth()} - c_.x;
    if (room < 0) return 0;
    if (page_.TextWidth(run) <= room) return run.size();
    size_t lo = 0, hi = run.size() - 1;  // lo fits, hi + 1 does not
    while (lo < hi) {
      size_t mid = lo + (hi - lo + 1) / 2;
      if (page_.TextWidth(run.substr(0, mid)) <= room)
        lo = mid;
      else
        hi = mid - 1;
    }
    if (lo > 0 && HighSurrogate(run[lo - 1])) --lo;  // never half a character
    return lo;
  }

  TextPage& page_;
  TextCursor& c_;
};

}  // namespace

void StreamText(std::u16string_view text, TextPage& page, TextCursor& cursor) {
  Stream s(page, cursor);
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] >= 32) continue;
    if (i > start) s.Run(text.substr(start, i - start));
    start = i + 1;
    if (i == text.size()) break;
    switch (text[i]) {
      case u'\t': s.Tab(); break;
      case u'\n': s.NewLine(); break;
      case u'\f': s.NewPage(); break;
      default: break;  // CR leaves x where it is; other controls print nothing
    }
  }
}

}  // namespace griv
