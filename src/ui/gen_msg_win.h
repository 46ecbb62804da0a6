// The yes/no question with a "Do not ask this again" box.
#pragma once
#include <windows.h>

#include <string>

namespace griv {

struct GenMsgResult {
  bool yes = false;
  bool dontAskAgain = false;
};

class TfrmGenMsg1 {
 public:
  // Shows the question modally, centred on the screen, titled with caption,
  // owned by the window it speaks for (null while that window is hidden).
  static GenMsgResult Ask(HINSTANCE inst, HWND owner, const std::string& question, const std::string& caption);
};

}  // namespace griv
