#include "app/settings_host_win.h"

#include <winspool.h>

#include <vector>

#include "base/file_io.h"
#include "base/utf.h"
#include "base/strings.h"

namespace griv {

bool ForceDirectoriesUtf8(const std::string& path) {
  std::string p = path;
  while (p.size() > 3 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  if (p.empty() || griv::DirectoryExists(p)) return true;
  std::string parent = ExtractFilePath(p);
  if (!parent.empty() && parent != p && parent.size() < p.size()) ForceDirectoriesUtf8(parent);
  return CreateDirectoryW(Widen(p).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WinSettingsHost::DirectoryExists(const std::string& path) { return griv::DirectoryExists(path); }
bool WinSettingsHost::FileExists(const std::string& path) { return griv::FileExists(path); }
bool WinSettingsHost::ForceDirectories(const std::string& path) { return ForceDirectoriesUtf8(path); }
int WinSettingsHost::PrinterCount() { return static_cast<int>(ListPrinters().size()); }

bool WinSettingsHost::ReadPrinterOrientation() {
  std::wstring name = printer_.name;
  if (name.empty()) {
    name = DefaultPrinterName();
    if (name.empty()) return false;
  }
  HANDLE h = nullptr;
  if (!OpenPrinterW(name.data(), &h, nullptr)) return false;
  bool ok = false;
  LONG size = DocumentPropertiesW(nullptr, h, name.data(), nullptr, nullptr, 0);
  if (size > 0) {
    std::vector<BYTE> dm(static_cast<size_t>(size));
    auto* mode = reinterpret_cast<DEVMODEW*>(dm.data());
    if (DocumentPropertiesW(nullptr, h, name.data(), mode, nullptr, DM_OUT_BUFFER) == IDOK) {
      printer_.landscape = (mode->dmFields & DM_ORIENTATION) && mode->dmOrientation == DMORIENT_LANDSCAPE;
      printer_.orientationKnown = ok = true;
    }
  }
  ClosePrinter(h);
  return ok;
}

void WinSettingsHost::SelectPrinterByPrefix(const std::string& prefix) {
  std::string want = UpperCase(prefix);
  for (const auto& p : ListPrinters()) {
    std::string name = UpperCase(Narrow(p));
    if (name.compare(0, want.size(), want) == 0 && name.size() >= want.size()) {
      printer_.name = p;
      return;
    }
  }
}

void WinSettingsHost::SetPrinterLandscape(bool landscape) {
  printer_.landscape = landscape;
  printer_.orientationKnown = true;
}

}  // namespace griv
