// String, path and ini helpers shared by every subsystem. Strings are UTF-8;
// positions are 1-based where the callers count that way.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace griv {

std::string LeftStr(std::string_view s, int n);
// n <= 0 leaves the text untouched.
std::string RightStr(std::string_view s, int n);
// Field n (1-based) of s split at sep; empty when there is no such field.
std::string FieldN(std::string_view s, char sep, int n);
// Value of the longest numeric start: "12ab" -> 12, "x12" -> 0, "" -> 0.
int32_t LeadingNumber(std::string_view s);
void ReplaceChar(std::string& s, char from, char to);

std::string UpperCase(std::string_view s);   // ASCII letters only
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);

std::string IncludeTrailingBackslash(std::string_view path);
// Windows-style path parts; both separators count.
std::string ExtractFilePath(std::string_view path);   // folder with trailing separator
std::string ExtractFileName(std::string_view path);
std::string ExtractFileExt(std::string_view path);    // with the dot, as written; "" if none
std::string ChangeFileExt(std::string_view path, std::string_view ext);

// Expands the last %VAR% pair of a Shell Folders value when that variable exists.
std::string ExpandLastEnvVar(std::string_view value,
                             const std::function<std::optional<std::string>(const std::string&)>& getenv);

// "00000" + n, last five characters: the numbered-file suffix.
std::string FiveDigits(int64_t n);

// Window-position text "left,top,width,height".
struct Bounds {
  int left = 0, top = 0, width = 0, height = 0;
};
Bounds ParsePosition(std::string_view text);
std::string FormatPosition(const Bounds& b);

struct MonitorRect {
  int left = 0, top = 0, width = 0, height = 0;
};
// A window's top-left corner counts as visible on a monitor when it lies on it, edges included.
bool CornerOnAnyMonitor(int x, int y, const std::vector<MonitorRect>& monitors);
// Top-left that centres a w x h window on a screen (halves toward zero).
Bounds CentreOnScreen(int screenW, int screenH, int w, int h);

}  // namespace griv
