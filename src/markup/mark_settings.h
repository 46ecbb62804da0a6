// The marking options kept with the other settings: `MarkColour` ("#RRGGBB"),
// `MarkWidth` (a number of picture pixels) and `PixelateRedactions`
// ("On"/"Off"). A value that cannot be read gives its default.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "markup/mark.h"

namespace griv {

// The widths the Line Width menu offers.
inline constexpr int kMarkWidths[] = {2, 3, 5, 8};
inline constexpr int kMaxMarkWidth = 64;

struct MarkSettings {
  Rgb colour{255, 0, 0};
  int width = 3;
  bool pixelate = false;
  bool operator==(const MarkSettings&) const = default;
};

std::optional<Rgb> ParseMarkColour(std::string_view text);
std::string FormatMarkColour(Rgb c);
// 1 ... kMaxMarkWidth in decimal digits, else nothing.
std::optional<int> ParseMarkWidth(std::string_view text);

// read returns a stored text, or nothing when the value is missing (or not text).
MarkSettings ReadMarkSettings(const std::function<std::optional<std::string>(const char* name)>& read);
void WriteMarkSettings(const MarkSettings& s,
                       const std::function<void(const char* name, const std::string& value)>& write);

}  // namespace griv
