// The machine as the settings loader sees it: folders, files and printers.
#pragma once
#include <windows.h>

#include <string>

#include "options/settings.h"
#include "printing/printer_win.h"

namespace griv {

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
