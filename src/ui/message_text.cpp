#include "ui/message_text.h"

#include <algorithm>
#include <vector>

namespace griv {

namespace {
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // …

bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

size_t NextChar(std::string_view s, size_t i) {
  ++i;
  while (i < s.size() && Continuation(s[i])) ++i;
  return i;
}

// A line may end after these: between folders of a path, or parts of a name.
bool BreaksAfter(char c) { return c == '\\' || c == '/' || c == '.' || c == '_' || c == '-'; }

// The pieces of a run no wider than maxWidth each, each ending after a
// separator where one lies in it.
std::vector<std::string_view> Pieces(std::string_view run, int maxWidth,
                                     const std::function<int(std::string_view)>& width) {
  std::vector<std::string_view> out;
  while (!run.empty()) {
    size_t end = NextChar(run, 0);  // at least one character a line
    size_t lastBreak = 0;
    if (BreaksAfter(run[0])) lastBreak = end;
    while (end < run.size()) {
      const size_t next = NextChar(run, end);
      if (width(run.substr(0, next)) > maxWidth) break;
      end = next;
      if (BreaksAfter(run[end - 1])) lastBreak = end;
    }
    if (end < run.size() && lastBreak > 0) end = lastBreak;
    out.push_back(run.substr(0, end));
    run.remove_prefix(end);
  }
  return out;
}

// The run with its middle replaced by an ellipsis, keeping `keep` characters
// from each end.
std::string ShortenedMiddle(std::string_view run, size_t keep) {
  size_t head = 0;
  for (size_t n = 0; n < keep && head < run.size(); ++n) head = NextChar(run, head);
  size_t tail = run.size();
  for (size_t n = 0; n < keep && tail > head; ++n) {
    --tail;
    while (tail > head && Continuation(run[tail])) --tail;
  }
  return std::string(run.substr(0, head)) + std::string(kEllipsis) + std::string(run.substr(tail));
}

size_t CharCount(std::string_view s) {
  return static_cast<size_t>(std::count_if(s.begin(), s.end(), [](char c) { return !Continuation(c); }));
}

std::string FitRun(std::string_view run, int maxWidth, int maxLines,
                   const std::function<int(std::string_view)>& width) {
  if (width(run) <= maxWidth) return std::string(run);
  std::string kept(run);
  auto pieces = Pieces(kept, maxWidth, width);
  // Fewer characters from each end until the pieces fit the lines allowed.
  for (size_t keep = CharCount(run) / 2; pieces.size() > static_cast<size_t>(std::max(1, maxLines)) && keep > 0;) {
    keep = keep * std::max(1, maxLines) / (pieces.size() + 1);
    kept = ShortenedMiddle(run, keep);
    pieces = Pieces(kept, maxWidth, width);
  }
  std::string out;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i) out += "\r\n";
    out += pieces[i];
  }
  return out;
}
}  // namespace

std::string FitMessageText(std::string_view text, int maxWidth, int maxLines,
                           const std::function<int(std::string_view)>& width) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\r' || c == '\n' || c == '\t') {
      out += c;
      ++i;
      continue;
    }
    const size_t end = text.find_first_of(" \r\n\t", i);
    const std::string_view run = text.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
    out += FitRun(run, maxWidth, maxLines, width);
    i += run.size();
  }
  return out;
}

}  // namespace griv
