// The machine as the settings loader sees it: folders, files and printers.
#pragma once
#include <windows.h>

#include <string>

#include "options/settings.h"
#include "printing/printer_win.h"

namespace griv {

// The printer chosen at start-up (by the branding defaults file) and its orientation.
struct PrinterChoice {
  std::wstring name;  // empty: the system's default printer
  bool landscape = false;
  bool orientationKnown = false;
};

class WinSettingsHost : public SettingsHost {
 public:
  explicit WinSettingsHost(PrinterChoice& printer) : printer_(printer) {}
  bool DirectoryExists(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool ForceDirectories(const std::string& path) override;
  int PrinterCount() override;
  bool ReadPrinterOrientation() override;
  void SelectPrinterByPrefix(const std::string& prefix) override;
  void SetPrinterLandscape(bool landscape) override;

 private:
  PrinterChoice& printer_;
};

bool ForceDirectoriesUtf8(const std::string& path);

}  // namespace griv
