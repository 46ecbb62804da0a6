// A settings host for the settings targets: folders that exist by the length
// of their names, one printer, and the printer choices it was asked for.
#pragma once
#include <optional>
#include <string>

#include "options/settings.h"

namespace griv {

class FuzzSettingsHost : public SettingsHost {
 public:
  FuzzSettingsHost() {
    dataFolder = "C:\\data\\";
    personalFolder = "C:\\me\\";
    windowsFolder = "C:\\windows";
  }
  bool DirectoryExists(const std::string& p) override { return p.size() % 3 == 0; }
  bool FileExists(const std::string& p) override { return p.size() % 2 == 0; }
  bool ForceDirectories(const std::string&) override { return true; }
  int PrinterCount() override { return 1; }
  bool ReadPrinterOrientation() override { return true; }
  void SelectPrinterByPrefix(const std::string& prefix) override { printer = prefix; }
  void SetPrinterLandscape(bool on) override { landscape = on; }

  std::optional<std::string> printer;
  std::optional<bool> landscape;
};

}  // namespace griv
