// Printing plain text (a console's screen copy) as one job of line-printer
// style pages.
#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>

#include "base/handles_win.h"
#include "printing/printer_win.h"

namespace griv {

// The printer would not take the text.
class EPrintTextError : public std::runtime_error {
 public:
  EPrintTextError() : std::runtime_error("Error printing text.") {}
};

// A font by face and size in points; the printer's resolution gives its pixels.
struct PrintFont {
  std::wstring face = L"Courier New";
  int points = 12;
  LONG weight = FW_NORMAL;
  bool italic = false;
  BYTE charset = DEFAULT_CHARSET;
};

// The font at its size on the device dc.
UniqueFont CreatePrintFont(HDC dc, const PrintFont& font);

// The console-print font: the window font's style at 8 points in the DosFont face.
PrintFont ConsolePrintFont(HFONT windowFont, const std::string& dosFont);

// Prints text as one job in font (Courier New 12 points when none is given).
// Does nothing for empty text; throws EPrintTextError when the printer is
// missing or fails.
void PrintText(Printer& printer, const std::wstring& text, const PrintFont* font = nullptr);

}  // namespace griv
