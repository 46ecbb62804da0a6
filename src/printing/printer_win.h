// The printer the program prints on: the system's default printer unless
// another was chosen, with its settings (orientation) kept between jobs.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/handles_win.h"

namespace griv {

// Names of the printers the system lists (local and connected).
std::vector<std::wstring> ListPrinters();
// The system's default printer; empty when there is none.
std::wstring DefaultPrinterName();
inline bool PrinterInstalled() { return !ListPrinters().empty(); }

// The page of a printer as jobs see it, in device pixels.
struct PrinterPage {
  int width = 0, height = 0;      // printable area (what the job draws on)
  int dpiX = 0, dpiY = 0;
  int offsetX = 0, offsetY = 0;   // printable area's corner on the sheet
  bool landscape = false;
};

// The printer chosen at start-up (by the branding defaults file) and its orientation.
struct PrinterChoice {
  std::wstring name;  // empty: the system's default printer
  bool landscape = false;
  bool orientationKnown = false;
};

class Printer {
 public:
  // The chosen printer, or the default printer when none was chosen. Empty
  // when there is no printer at all.
  std::wstring Name() const;
  // Chooses a printer by name; empty goes back to the default printer.
  void Select(const std::wstring& name);

  // The orientation jobs will use (the driver's own setting until set).
  bool Landscape();
  // Kept for every later job and for the preview; false when the printer
  // cannot be reached.
  bool SetLandscape(bool landscape);

  // A device context for a job with the kept settings; empty when the printer
  // is missing or refuses.
  UniqueMemDC OpenDC();
  // The page's size and resolution; false when the printer cannot be reached.
  bool QueryPage(PrinterPage& page);

  // The system's printer setup dialog on the kept settings; the chosen
  // printer and its settings are kept when the user confirms.
  bool SetupDialog(HWND owner);

 private:
  // Loads the driver's settings of the current printer when the kept ones
  // belong to another (or none); false when the printer cannot be reached.
  bool EnsureMode();
  DEVMODEW* Mode() { return mode_.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(mode_.data()); }

  std::wstring chosen_;
  std::wstring modeFor_;    // printer whose settings mode_ holds
  std::vector<BYTE> mode_;  // DEVMODEW with the driver's private part
  int wantLandscape_ = -1;  // orientation set by the program; -1 follows the driver
};

// Page facts of an open printer device context.
PrinterPage PageOf(HDC dc);

}  // namespace griv
