// TfrmGetNotes: the notes typed for one print.
//
//   std::vector<std::string> notes;
//   if (AskNotes(inst, mainWindow, mainLeft + 15, mainTop + 25, notes)) ... print with notes
//
// Enter presses OK (it never starts a new line; Ctrl+Enter does); Esc is Cancel.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace griv {

inline constexpr char kGetNotesCaption[] = "Enter Notes for the Image Print";

// Shows the notes dialog modally with its top-left at (x, y) in screen pixels
// (kept inside the work area). The memo starts empty. On OK, notes becomes
// the memo's lines (UTF-8) and the result is true; on Cancel or Esc notes is
// emptied and the result is false. resources holds the dialog's layout.
// Throws when the dialog cannot be shown.
bool AskNotes(HINSTANCE resources, HWND owner, int x, int y, std::vector<std::string>& notes);

}  // namespace griv
