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
  // Shows the question modally, centred on the screen, titled with caption.
  static GenMsgResult Ask(HINSTANCE inst, const std::string& question, const std::string& caption);
};

}  // namespace griv
