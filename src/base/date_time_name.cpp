#include "base/date_time_name.h"

#include <cstdio>
#include <ctime>

namespace griv {

LocalTime NowLocal() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &now);
#else
  localtime_r(&now, &tm);
#endif
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string DateTimeName(const LocalTime& t) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d-%02d-%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return text;
}

std::optional<LocalTime> ParseDateTimeName(std::string_view s) {
  // Digits where the form has them, the separators exactly.
  constexpr std::string_view form = "0000-00-00 00-00-00";
  if (s.size() != form.size()) return std::nullopt;
  for (size_t i = 0; i < form.size(); ++i) {
    const bool digit = s[i] >= '0' && s[i] <= '9';
    if (form[i] == '0' ? !digit : s[i] != form[i]) return std::nullopt;
  }
  auto num = [&](size_t at, size_t n) {
    int v = 0;
    for (size_t i = at; i < at + n; ++i) v = v * 10 + (s[i] - '0');
    return v;
  };
  LocalTime t{num(0, 4), num(5, 2), num(8, 2), num(11, 2), num(14, 2), num(17, 2)};
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 || t.second > 60)
    return std::nullopt;
  return t;
}

std::string FirstFreeName(const std::string& stem, const std::string& ext,
                          const std::function<bool(const std::string&)>& taken) {
  std::string name = stem + ext;
  for (int n = 2; taken(name); ++n) name = stem + " (" + std::to_string(n) + ")" + ext;
  return name;
}

}  // namespace griv
