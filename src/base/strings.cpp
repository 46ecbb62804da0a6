#include "base/strings.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace griv {

std::string LeftStr(std::string_view s, int n) {
  if (n <= 0) return {};
  return std::string(s.substr(0, std::min<size_t>(s.size(), static_cast<size_t>(n))));
}

std::string RightStr(std::string_view s, int n) {
  if (n <= 0 || static_cast<size_t>(n) >= s.size()) return std::string(s);
  return std::string(s.substr(s.size() - static_cast<size_t>(n)));
}

std::string FieldN(std::string_view s, char sep, int n) {
  if (n < 1) return {};
  size_t start = 0;
  for (int i = 1; i < n; ++i) {
    size_t p = s.find(sep, start);
    if (p == std::string_view::npos) return {};
    start = p + 1;
  }
  size_t end = s.find(sep, start);
  if (end == std::string_view::npos) end = s.size();
  return std::string(s.substr(start, end - start));
}

int32_t LeadingNumber(std::string_view s) {
  if (!s.empty() && (s[0] == 'x' || s[0] == 'X')) return 0;
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  int64_t v = 0;
  bool any = false;
  for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
    any = true;
    v = v * 10 + (s[i] - '0');
    if (v > INT32_MAX) return 0;  // does not fit: no number at all
  }
  if (!any) return 0;
  return static_cast<int32_t>(neg ? -v : v);
}

void ReplaceChar(std::string& s, char from, char to) { std::replace(s.begin(), s.end(), from, to); }

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (auto& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return r;
}

std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (auto& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return r;
}

bool SameText(std::string_view a, std::string_view b) { return UpperCase(a) == UpperCase(b); }

std::string IncludeTrailingBackslash(std::string_view path) {
  std::string r(path);
  if (r.empty() || r.back() != '\\') r += '\\';
  return r;
}

static size_t LastSeparator(std::string_view path) {
  size_t p = path.find_last_of("\\/:");
  return p;
}

std::string ExtractFilePath(std::string_view path) {
  size_t p = LastSeparator(path);
  return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string ExtractFileName(std::string_view path) {
  size_t p = LastSeparator(path);
  return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string ExtractFileExt(std::string_view path) {
  size_t p = path.find_last_of(".\\/:");
  if (p == std::string_view::npos || path[p] != '.') return {};
  return std::string(path.substr(p));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  std::string cur = ExtractFileExt(path);
  return std::string(path.substr(0, path.size() - cur.size())) + std::string(ext);
}

std::string ExpandLastEnvVar(std::string_view value,
                             const std::function<std::optional<std::string>(const std::string&)>& getenv) {
  std::string v(value);
  size_t close = v.rfind('%');
  if (close == std::string::npos || close == 0) return v;
  size_t open = v.rfind('%', close - 1);
  if (open == std::string::npos) return v;
  std::string name = v.substr(open + 1, close - open - 1);
  if (name.empty()) return v;
  auto val = getenv(name);
  if (!val) return v;
  return v.substr(0, open) + *val + v.substr(close + 1);
}

std::string FiveDigits(int64_t n) { return RightStr("00000" + std::to_string(n), 5); }

Bounds ParsePosition(std::string_view text) {
  Bounds b;
  b.left = LeadingNumber(FieldN(text, ',', 1));
  b.top = LeadingNumber(FieldN(text, ',', 2));
  b.width = LeadingNumber(FieldN(text, ',', 3));
  b.height = LeadingNumber(FieldN(text, ',', 4));
  return b;
}

std::string FormatPosition(const Bounds& b) {
  return std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.width) + "," +
         std::to_string(b.height);
}

bool CornerOnAnyMonitor(int x, int y, const std::vector<MonitorRect>& monitors) {
  for (const auto& m : monitors) {
    if (int64_t(m.left) <= x && x <= int64_t(m.left) + m.width && int64_t(m.top) <= y &&
        y <= int64_t(m.top) + m.height)
      return true;
  }
  return false;
}

Bounds CentreOnScreen(int screenW, int screenH, int w, int h) {
  return Bounds{(screenW - w) / 2, (screenH - h) / 2, w, h};
}

}  // namespace griv
