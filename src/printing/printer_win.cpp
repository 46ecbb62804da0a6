#include "printing/printer_win.h"
#include "ui/modal_state.h"

#include <commdlg.h>
#include <winspool.h>

#include <cstring>

namespace griv {

std::vector<std::wstring> ListPrinters() {
  std::vector<std::wstring> names;
  DWORD needed = 0, count = 0;
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count);
  if (!needed) return names;
  std::vector<BYTE> buf(needed);
  if (!EnumPrintersW(flags, nullptr, 4, buf.data(), needed, &needed, &count)) return names;
  auto* info = reinterpret_cast<PRINTER_INFO_4W*>(buf.data());
  for (DWORD i = 0; i < count; ++i)
    if (info[i].pPrinterName) names.emplace_back(info[i].pPrinterName);
  return names;
}

std::wstring DefaultPrinterName() {
  DWORD n = 0;
  GetDefaultPrinterW(nullptr, &n);
  if (!n) return {};
  std::wstring buf(n, L'\0');
  if (!GetDefaultPrinterW(buf.data(), &n)) return {};
  return buf.c_str();
}

PrinterPage PageOf(HDC dc) {
  PrinterPage p;
  p.width = GetDeviceCaps(dc, HORZRES);
  p.height = GetDeviceCaps(dc, VERTRES);
  p.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
  p.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  p.offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
  p.offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
  p.landscape = p.width > p.height;
  return p;
}

std::wstring Printer::Name() const { return chosen_.empty() ? DefaultPrinterName() : chosen_; }

void Printer::Select(const std::wstring& name) { chosen_ = name; }

bool Printer::EnsureMode() {
  std::wstring name = Name();
  if (name.empty()) return false;
  if (name == modeFor_ && !mode_.empty()) return true;
  HANDLE h = nullptr;
  if (!OpenPrinterW(name.data(), &h, nullptr)) return false;
  bool ok = false;
  LONG size = DocumentPropertiesW(nullptr, h, name.data(), nullptr, nullptr, 0);
  if (size >= static_cast<LONG>(offsetof(DEVMODEW, dmFields) + sizeof(DWORD))) {
    std::vector<BYTE> mode(static_cast<size_t>(size));
    auto* dm = reinterpret_cast<DEVMODEW*>(mode.data());
    if (DocumentPropertiesW(nullptr, h, name.data(), dm, nullptr, DM_OUT_BUFFER) == IDOK) {
      mode_ = std::move(mode);
      modeFor_ = name;
      ok = true;
    }
  }
  ClosePrinter(h);
  if (ok && wantLandscape_ >= 0) {
    Mode()->dmFields |= DM_ORIENTATION;
    Mode()->dmOrientation = wantLandscape_ ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  }
  return ok;
}

bool Printer::Landscape() {
  if (wantLandscape_ >= 0) return wantLandscape_ == 1;
  if (!EnsureMode()) return false;
  return (Mode()->dmFields & DM_ORIENTATION) && Mode()->dmOrientation == DMORIENT_LANDSCAPE;
}

bool Printer::SetLandscape(bool landscape) {
  wantLandscape_ = landscape ? 1 : 0;
  if (!EnsureMode()) return false;
  Mode()->dmFields |= DM_ORIENTATION;
  Mode()->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  return true;
}

UniqueMemDC Printer::OpenDC() {
  if (!EnsureMode()) return UniqueMemDC();
  // The device may have gone since its settings were read: then this fails.
  return UniqueMemDC(::CreateDCW(L"WINSPOOL", modeFor_.c_str(), nullptr, Mode()));
}

bool Printer::QueryPage(PrinterPage& page) {
  UniqueMemDC dc = OpenDC();
  if (!dc) return false;
  page = PageOf(dc.get());
  page.landscape = Landscape();
  return page.width > 0 && page.height > 0;
}

namespace {

// A movable global block holding a copy of the bytes (for the dialog).
HGLOBAL GlobalCopy(const void* data, size_t size) {
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!g) return nullptr;
  void* p = GlobalLock(g);
  std::memcpy(p, data, size);
  GlobalUnlock(g);
  return g;
}

HGLOBAL DevNamesFor(const std::wstring& device) {
  const std::wstring driver = L"winspool";
  std::vector<wchar_t> buf(sizeof(DEVNAMES) / sizeof(wchar_t) + driver.size() + device.size() + 3, L'\0');
  auto* dn = reinterpret_cast<DEVNAMES*>(buf.data());
  WORD at = sizeof(DEVNAMES) / sizeof(wchar_t);
  dn->wDriverOffset = at;
  std::memcpy(buf.data() + at, driver.c_str(), driver.size() * sizeof(wchar_t));
  at = static_cast<WORD>(at + driver.size() + 1);
  dn->wDeviceOffset = at;
  std::memcpy(buf.data() + at, device.c_str(), device.size() * sizeof(wchar_t));
  at = static_cast<WORD>(at + device.size() + 1);
  dn->wOutputOffset = at;  // empty port: the printer's own
  return GlobalCopy(buf.data(), buf.size() * sizeof(wchar_t));
}

}  // namespace

bool Printer::SetupDialog(HWND owner) {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = owner;
  pd.Flags = PD_PRINTSETUP;
  if (EnsureMode()) {
    pd.hDevMode = GlobalCopy(mode_.data(), mode_.size());
    pd.hDevNames = DevNamesFor(modeFor_);
  }
  bool ok;
  {
    ModalScope modal;
    ok = PrintDlgW(&pd) != 0;
  }
  if (ok && pd.hDevNames && pd.hDevMode) {
    auto* dn = static_cast<DEVNAMES*>(GlobalLock(pd.hDevNames));
    std::wstring device = reinterpret_cast<const wchar_t*>(dn) + dn->wDeviceOffset;
    GlobalUnlock(pd.hDevNames);
    auto* dm = static_cast<DEVMODEW*>(GlobalLock(pd.hDevMode));
    const size_t size = size_t{dm->dmSize} + dm->dmDriverExtra;
    mode_.assign(reinterpret_cast<BYTE*>(dm), reinterpret_cast<BYTE*>(dm) + size);
    GlobalUnlock(pd.hDevMode);
    modeFor_ = device;
    chosen_ = device == DefaultPrinterName() ? std::wstring() : device;
    wantLandscape_ =
        (Mode()->dmFields & DM_ORIENTATION) ? (Mode()->dmOrientation == DMORIENT_LANDSCAPE ? 1 : 0) : -1;
  }
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  return ok;
}

}  // namespace griv
