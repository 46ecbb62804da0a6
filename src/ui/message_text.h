// The text of a message box made to fit the screen. The system wraps a
// message only at blanks, so a long file name stays one line and the box
// grows past the screen's edges: such runs are broken here, preferably
// after a folder separator, and a run too long even for several lines
// loses its middle to an ellipsis.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace griv {

// width(piece) is the drawn width of a piece of text (UTF-8). No run between
// blanks comes out wider than maxWidth; one that would need more than
// maxLines lines is shortened in its middle first. Line ends are "\r\n".
std::string FitMessageText(std::string_view text, int maxWidth, int maxLines,
                           const std::function<int(std::string_view)>& width);

}  // namespace griv
