#include "markup/mark_settings.h"

namespace griv {

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::optional<Rgb> ParseMarkColour(std::string_view t) {
  if (t.size() != 7 || t[0] != '#') return std::nullopt;
  uint8_t v[3];
  for (int i = 0; i < 3; ++i) {
    const int hi = HexDigit(t[size_t(1 + 2 * i)]), lo = HexDigit(t[size_t(2 + 2 * i)]);
    if (hi < 0 || lo < 0) return std::nullopt;
    v[i] = uint8_t(hi * 16 + lo);
  }
  return Rgb{v[0], v[1], v[2]};
}

std::string FormatMarkColour(Rgb c) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string s = "#";
  for (uint8_t v : {c.r, c.g, c.b}) s += kHex[v >> 4], s += kHex[v & 15];
  return s;
}

std::optional<int> ParseMarkWidth(std::string_view t) {
  if (t.empty() || t.size() > 3) return std::nullopt;
  int v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  if (v < 1 || v > kMaxMarkWidth) return std::nullopt;
  return v;
}

MarkSettings ReadMarkSettings(const std::function<std::optional<std::string>(const char*)>& read) {
  MarkSettings s;
  if (auto v = read("MarkColour"))
    if (auto c = ParseMarkColour(*v)) s.colour = *c;
  if (auto v = read("MarkWidth"))
    if (auto w = ParseMarkWidth(*v)) s.width = *w;
  if (auto v = read("PixelateRedactions")) s.pixelate = *v == "On";
  return s;
}

void WriteMarkSettings(const MarkSettings& s, const std::function<void(const char*, const std::string&)>& write) {
  write("MarkColour", FormatMarkColour(s.colour));
  write("MarkWidth", std::to_string(s.width));
  write("PixelateRedactions", s.pixelate ? "On" : "Off");
}

}  // namespace griv
