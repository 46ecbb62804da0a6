// Names made of the local date and time, in an order that sorts as time
// goes: "2026-12-07 19-30-12". The capture history names its pictures so,
// and so do numbered saves that ask for dates instead of numbers.
#pragma once
#include <compare>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace griv {

struct LocalTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  auto operator<=>(const LocalTime&) const = default;
};

LocalTime NowLocal();

// "YYYY-MM-DD hh-mm-ss"
std::string DateTimeName(const LocalTime& t);
// The exact form above back into a time; nullopt for anything else.
std::optional<LocalTime> ParseDateTimeName(std::string_view text);

// stem + ext, or, when that is taken, stem + " (n)" + ext with the smallest
// n from 2 on that is free: two pictures of one second keep both.
std::string FirstFreeName(const std::string& stem, const std::string& ext,
                          const std::function<bool(const std::string&)>& taken);

}  // namespace griv
