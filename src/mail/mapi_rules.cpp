#include "mail/mapi_rules.h"

#include <algorithm>
#include <cstring>

#include "base/codepage.h"

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

// Next code point of well-formed UTF-8 (the caller has checked it), moving i past it.
uint32_t NextCodePoint(std::string_view s, size_t& i) {
  const size_t n = CharLength(s, i);
  uint32_t c = static_cast<unsigned char>(s[i]);
  if (n > 1) c &= 0x7F >> n;
  for (size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  i += n;
  return c;
}

// Latin letters U+00C0..U+017F without their marks; '*' has a spelling of
// its own (LatinPair), '?' none (the multiplication and division signs).
constexpr std::string_view kLatin1 = "AAAAAA*CEEEEIIIIDNOOOOO?OUUUUY**aaaaaa*ceeeeiiiidnooooo?ouuuuy*y";
constexpr std::string_view kLatinExtA =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi**JjKkkLlLlLlLlLlNnNnNnnNnOoOoOo**"
    "RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
static_assert(kLatin1.size() == 0x100 - 0xC0 && kLatinExtA.size() == 0x180 - 0x100);

const char* LatinPair(uint32_t c) {
  switch (c) {
    case 0xC6: return "AE";
    case 0xDE: return "TH";
    case 0xDF: return "ss";
    case 0xE6: return "ae";
    case 0xFE: return "th";
    case 0x132: return "IJ";
    case 0x133: return "ij";
    case 0x152: return "OE";
    case 0x153: return "oe";
  }
  return nullptr;
}

// Russian letters а..я (U+0430..U+044F); the hard and soft signs are not spelt.
constexpr const char* kCyrillic[32] = {"a",  "b",  "v",  "g",    "d", "e", "zh", "z", "i",  "y", "k",
                                       "l",  "m",  "n",  "o",    "p", "r", "s",  "t", "u",  "f", "kh",
                                       "ts", "ch", "sh", "shch", "",  "y", "",   "e", "yu", "ya"};

// The lower-case spelling of a Cyrillic letter, and whether it was a capital.
const char* CyrillicSpelling(uint32_t c, bool& capital) {
  capital = (c >= 0x400 && c < 0x430) || c == 0x490;
  if (c >= 0x430 && c < 0x450) c -= 0x20;  // small letters to their capitals
  else if (c >= 0x450 && c < 0x460) c -= 0x50;
  else if (c == 0x491) c = 0x490;
  if (c >= 0x410 && c < 0x430) return kCyrillic[c - 0x410];
  // Ё, Є, І, Ї, Ў and Ґ.
  static constexpr struct {
    uint32_t c;
    const char* spelling;
  } kOthers[] = {{0x401, "yo"}, {0x404, "ye"}, {0x406, "i"}, {0x407, "yi"}, {0x40E, "u"}, {0x490, "g"}};
  for (const auto& o : kOthers)
    if (o.c == c) return o.spelling;
  return nullptr;
}

}  // namespace

bool FitsCodePage(std::string_view utf8, unsigned codePage) {
  std::string bytes;
  return TextToCodePageExact(utf8, codePage, bytes) == CodePageResult::Ok;
}

std::optional<std::string> LatinSpelling(std::string_view utf8) {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const uint32_t c = NextCodePoint(utf8, i);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c >= 0xC0 && c < 0x180) {
      const char m = c < 0x100 ? kLatin1[c - 0xC0] : kLatinExtA[c - 0x100];
      if (m == '?') return std::nullopt;
      if (m == '*') out += LatinPair(c);
      else out += m;
    } else {
      bool capital = false;
      const char* s = CyrillicSpelling(c, capital);
      if (!s) return std::nullopt;
      std::string part = s;
      if (capital && !part.empty()) part[0] = static_cast<char>(part[0] - 'a' + 'A');
      out += part;
    }
  }
  return out;
}

std::string SendFailedText(uint32_t code) {
  // The documented Simple MAPI results a send can end with.
  static constexpr struct {
    uint32_t code;
    const char* meaning;
  } kMeanings[] = {{1, "cancelled"},
                   {2, "general failure"},
                   {3, "logon failed"},
                   {4, "the disk is full"},
                   {5, "not enough memory"},
                   {9, "too many attachments"},
                   {10, "too many recipients"},
                   {11, "an attachment was not found"},
                   {12, "an attachment could not be opened"},
                   {13, "an attachment could not be written"},
                   {14, "unknown recipient"},
                   {15, "wrong recipient type"},
                   {18, "the text is too large"},
                   {21, "ambiguous recipient"},
                   {23, "network failure"},
                   {26, "not supported by the mail program"}};
  std::string out = std::string(kMapiSendFailed) + "\r\nError " + std::to_string(code) + " from the mail program";
  for (const auto& m : kMeanings)
    if (m.code == code) out += std::string(" (") + m.meaning + ")";
  return out + ".";
}

std::string UnresolvedText(const std::vector<std::string>& lines) {
  std::string list;
  for (const std::string& l : lines) list += "\r\n    " + l;
  return "The mail program could not resolve these recipients:" + list + "\r\n\r\nNothing was sent.";
}

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
