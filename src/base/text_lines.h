// Multi-line edit text as a list of lines, the way a memo's lines are counted.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace griv {

// Splits at "\r\n", "\n" or a lone "\r". One empty line at the very end (the
// text ends with a line break) is not a line of its own; an empty text has none.
std::vector<std::string> SplitMemoLines(std::string_view text);
// Lines joined with "\r\n", for putting back into an edit.
std::string JoinMemoLines(const std::vector<std::string>& lines);

}  // namespace griv
