// griv-printer-setup: a printer for the end-to-end tests that writes every job
// to a PostScript file of its own, through Wine's PostScript driver and a pipe
// port (no daemon, no dialog).
//   griv-printer-setup install NAME PPD JOBDIR   driver from PPD (Windows path), printer NAME
//                                                 writing JOBDIR/job.<ns>.ps, made the default
//   griv-printer-setup remove NAME                deletes the printer (the driver stays)
//   griv-printer-setup default NAME               makes NAME the default printer
//   griv-printer-setup list                       NAME<TAB>PORT<TAB>1 for the default, else 0
//   griv-printer-setup page NAME ORIENT           "W H DPIX DPIY OFFX OFFY" of a job's page in device
//                                                 pixels, ORIENT portrait or landscape
#include <windows.h>
#include <shellapi.h>
#include <winspool.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tool_text.h"

namespace {

using griv_tool::Utf8;

const wchar_t kDriver[] = L"GRIV Test PostScript";

std::wstring DefaultPrinter() {
  DWORD n = 0;
  GetDefaultPrinterW(nullptr, &n);
  if (!n) return {};
  std::wstring s(n, L'\0');
  if (!GetDefaultPrinterW(s.data(), &n)) return {};
  return s.c_str();
}

bool DriverInstalled() {
  DWORD needed = 0, count = 0;
  EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
  if (!needed) return false;
  std::vector<BYTE> buf(needed);
  if (!EnumPrinterDriversW(nullptr, nullptr, 1, buf.data(), needed, &needed, &count)) return false;
  auto* info = reinterpret_cast<DRIVER_INFO_1W*>(buf.data());
  for (DWORD i = 0; i < count; ++i)
    if (info[i].pName && wcscmp(info[i].pName, kDriver) == 0) return true;
  return false;
}

int Fail(const char* what) {
  std::fprintf(stderr, "%s failed: error %lu\n", what, GetLastError());
  return 1;
}

int Install(const std::wstring& name, std::wstring ppd, const std::wstring& jobDir) {
  if (!DriverInstalled()) {
    DRIVER_INFO_3W di{};
    di.cVersion = 3;
    di.pName = const_cast<wchar_t*>(kDriver);
    di.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    di.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    di.pDataFile = ppd.data();
    di.pDefaultDataType = const_cast<wchar_t*>(L"RAW");
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&di), APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY))
      return Fail("AddPrinterDriverEx");
  }
  // The shell runs the port at the end of each job; the time in nanoseconds
  // gives every job a file of its own.
  std::wstring port = L"|cat >'" + jobDir + L"'/job.$(date +%s%N).ps";
  HANDLE h = nullptr;
  if (OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &h, nullptr)) {
    ClosePrinter(h);  // already there
  } else {
    PRINTER_INFO_2W pi{};
    pi.pPrinterName = const_cast<wchar_t*>(name.c_str());
    pi.pPortName = port.data();
    pi.pDriverName = const_cast<wchar_t*>(kDriver);
    pi.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
    pi.pDatatype = const_cast<wchar_t*>(L"RAW");
    h = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
    if (!h) return Fail("AddPrinter");
    ClosePrinter(h);
  }
  if (!SetDefaultPrinterW(name.c_str())) return Fail("SetDefaultPrinter");
  return 0;
}

int Remove(const std::wstring& name) {
  PRINTER_DEFAULTSW pd{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE h = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &h, &pd)) return 0;  // nothing to remove
  BOOL ok = DeletePrinter(h);
  ClosePrinter(h);
  return ok ? 0 : Fail("DeletePrinter");
}

int List() {
  std::wstring def = DefaultPrinter();
  DWORD needed = 0, count = 0;
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  EnumPrintersW(flags, nullptr, 2, nullptr, 0, &needed, &count);
  if (!needed) return 0;
  std::vector<BYTE> buf(needed);
  if (!EnumPrintersW(flags, nullptr, 2, buf.data(), needed, &needed, &count)) return Fail("EnumPrinters");
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buf.data());
  for (DWORD i = 0; i < count; ++i) {
    std::wstring n = info[i].pPrinterName ? info[i].pPrinterName : L"";
    std::printf("%s\t%s\t%d\n", Utf8(n).c_str(), Utf8(info[i].pPortName ? info[i].pPortName : L"").c_str(),
                n == def ? 1 : 0);
  }
  return 0;
}

int Page(const std::wstring& name, bool landscape) {
  HANDLE h = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &h, nullptr)) return Fail("OpenPrinter");
  LONG size = DocumentPropertiesW(nullptr, h, const_cast<wchar_t*>(name.c_str()), nullptr, nullptr, 0);
  std::vector<BYTE> buf(size > 0 ? size : 0);
  auto* dm = reinterpret_cast<DEVMODEW*>(buf.data());
  const bool ok = size > 0 && DocumentPropertiesW(nullptr, h, const_cast<wchar_t*>(name.c_str()), dm, nullptr,
                                                  DM_OUT_BUFFER) == IDOK;
  ClosePrinter(h);
  if (!ok) return Fail("DocumentProperties");
  dm->dmFields |= DM_ORIENTATION;
  dm->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  HDC dc = CreateDCW(L"WINSPOOL", name.c_str(), nullptr, dm);
  if (!dc) return Fail("CreateDC");
  std::printf("%d %d %d %d %d %d\n", GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES),
              GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY), GetDeviceCaps(dc, PHYSICALOFFSETX),
              GetDeviceCaps(dc, PHYSICALOFFSETY));
  DeleteDC(dc);
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring cmd = argc > 1 ? argv[1] : L"";
  if (cmd == L"install" && argc == 5) return Install(argv[2], argv[3], argv[4]);
  if (cmd == L"remove" && argc == 3) return Remove(argv[2]);
  if (cmd == L"default" && argc == 3) return SetDefaultPrinterW(argv[2]) ? 0 : Fail("SetDefaultPrinter");
  if (cmd == L"list") return List();
  if (cmd == L"page" && argc == 4) return Page(argv[2], std::wstring(argv[3]) == L"landscape");
  std::fprintf(stderr,
               "usage: griv-printer-setup install NAME PPD JOBDIR | remove NAME | default NAME | list | page NAME ORIENT\n");
  return 2;
}
