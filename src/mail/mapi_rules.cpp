#include "mail/mapi_rules.h"

#include <algorithm>
#include <cstring>

namespace griv {

namespace {

// Byte length of the UTF-8 character starting with b; a stray byte counts as one.
size_t CharLength(std::string_view s, size_t i) {
  unsigned char b = static_cast<unsigned char>(s[i]);
  size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 1;
  if (i + n > s.size()) return 1;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  return n;
}

std::vector<std::string_view> Characters(std::string_view s) {
  std::vector<std::string_view> out;
  for (size_t i = 0; i < s.size();) {
    size_t n = CharLength(s, i);
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

}  // namespace

std::string TruncateFileName(std::string_view fileName) {
  std::vector<std::string_view> c = Characters(fileName);
  if (c.size() <= 12) return std::string(fileName);
  size_t first = 0, count = c.size();
  auto dot = std::find(c.begin(), c.end(), std::string_view("."));
  if (dot != c.end()) {
    size_t at = static_cast<size_t>(dot - c.begin());  // 0-based: position at+1
    if (at + 1 >= 10) first = at - 8;
  }
  if (count - first > 12) first = count - 12;
  while (first < count && c[first] == ".") ++first;
  std::string out;
  for (size_t i = first; i < count; ++i) out += c[i];
  return out;
}

std::optional<std::string> BracketedAddress(std::string_view line, std::string_view resolvedName) {
  if (line.find('[') == std::string_view::npos || line.find(']') == std::string_view::npos) return std::nullopt;
  if (resolvedName.find('[') != std::string_view::npos || resolvedName.find(']') != std::string_view::npos)
    return std::nullopt;
  std::string s(line);
  s.erase(s.find('['), 1);
  s.erase(s.find(']'), 1);
  return s;
}

std::string_view TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::vector<std::string> SplitRecipients(std::string_view text) {
  std::vector<std::string> out;
  auto add = [&](std::string_view part) {
    part = TrimBlanks(part);
    if (!part.empty()) out.emplace_back(part);
  };
  size_t semi;
  while ((semi = text.find(';')) != std::string_view::npos) {
    add(text.substr(0, semi));
    text.remove_prefix(semi + 1);
  }
  add(text);
  return out;
}

std::string JoinRecipients(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) out += ';';
    out += lines[i];
  }
  return out;
}

std::string CutCharacters(std::string_view utf8, size_t n) {
  size_t i = 0;
  for (size_t k = 0; k < n && i < utf8.size(); ++k) i += CharLength(utf8, i);
  return std::string(utf8.substr(0, i));
}

size_t CopyBounded(std::string_view src, char* dst, size_t capacity, bool (*isLeadByte)(unsigned char)) {
  if (!dst || capacity == 0) return 0;
  size_t n = std::min(src.size(), capacity - 1);
  if (isLeadByte && n < src.size()) {
    size_t i = 0;
    while (i < n) {
      size_t step = isLeadByte(static_cast<unsigned char>(src[i])) ? 2 : 1;
      if (i + step > n) break;
      i += step;
    }
    n = i;
  }
  if (n) std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
  return n;
}

}  // namespace griv
