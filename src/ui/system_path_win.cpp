#include "ui/system_path_win.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "base/utf.h"
#include "ui/registry_win.h"
#include "base/strings.h"

namespace griv {

TPBSystemPath::TPBSystemPath(bool includeBackSlash) : includeBackSlash_(includeBackSlash) { Lookup(); }

void TPBSystemPath::SetIncludeBackSlash(bool on) {
  if (on == includeBackSlash_) return;
  includeBackSlash_ = on;
  Lookup();
}

void TPBSystemPath::Lookup() {
  auto slash = [&](std::string p) {
    if (includeBackSlash_ && !p.empty()) p = IncludeTrailingBackslash(p);
    return p;
  };
  auto getenv = [](const std::string& name) -> std::optional<std::string> {
    wchar_t buf[32768];
    DWORD n = GetEnvironmentVariableW(Widen(name).c_str(), buf, 32768);
    if (n == 0 || n >= 32768) return std::nullopt;
    return Narrow(std::wstring(buf, n));
  };
  auto reg = [&](HKEY root, const char* key, const char* value) {
    std::string v = RegReadString(root, key, value, "");
    return slash(ExpandLastEnvVar(v, getenv));
  };
  wchar_t buf[MAX_PATH + 1];
  UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
  Windows = slash(Narrow(std::wstring(buf, n <= MAX_PATH ? n : 0)));
  n = GetSystemDirectoryW(buf, MAX_PATH);
  System = slash(Narrow(std::wstring(buf, n <= MAX_PATH ? n : 0)));
  Temp = slash(TempFolder());

  const char* sf = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  AppData = reg(HKEY_CURRENT_USER, sf, "AppData");
  Cache = reg(HKEY_CURRENT_USER, sf, "Cache");
  Cookies = reg(HKEY_CURRENT_USER, sf, "Cookies");
  DeskTop = reg(HKEY_CURRENT_USER, sf, "Desktop");
  Favorites = reg(HKEY_CURRENT_USER, sf, "Favorites");
  Fonts = reg(HKEY_CURRENT_USER, sf, "Fonts");
  History = reg(HKEY_CURRENT_USER, sf, "History");
  NetHood = reg(HKEY_CURRENT_USER, sf, "NetHood");
  Personal = reg(HKEY_CURRENT_USER, sf, "Personal");
  PrintHood = reg(HKEY_CURRENT_USER, sf, "PrintHood");
  Programs = reg(HKEY_CURRENT_USER, sf, "Programs");
  Recent = reg(HKEY_CURRENT_USER, sf, "Recent");
  SendTo = reg(HKEY_CURRENT_USER, sf, "SendTo");
  StartMenu = reg(HKEY_CURRENT_USER, sf, "Start Menu");
  StartUp = reg(HKEY_CURRENT_USER, sf, "Startup");
  Templates = reg(HKEY_CURRENT_USER, sf, "Templates");
  MyPictures = reg(HKEY_CURRENT_USER, sf, "My Pictures");
  LocalSettings = reg(HKEY_CURRENT_USER, sf, "Local Settings");
  LocalAppData = reg(HKEY_CURRENT_USER, sf, "Local AppData");
  Content = reg(HKEY_CURRENT_USER, sf, "Content");

  const char* cv = "Software\\Microsoft\\Windows\\CurrentVersion";
  CommonFiles = reg(HKEY_LOCAL_MACHINE, cv, "CommonFilesDir");
  Config = reg(HKEY_LOCAL_MACHINE, cv, "ConfigPath");
  Device = reg(HKEY_LOCAL_MACHINE, cv, "DevicePath");
  Media = reg(HKEY_LOCAL_MACHINE, cv, "MediaPath");
  OtherDevice = reg(HKEY_LOCAL_MACHINE, cv, "OtherDevicePath");
  ProgramFiles = reg(HKEY_LOCAL_MACHINE, cv, "ProgramFilesPath");
  SystemRoot = reg(HKEY_LOCAL_MACHINE, cv, "SystemRoot");
  WallPaper = reg(HKEY_LOCAL_MACHINE, cv, "WallPaperDir");
}

std::string TempFolder() {
  wchar_t buf[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH, buf);
  return n && n <= MAX_PATH ? Narrow(std::wstring(buf, n)) : std::string();
}

std::string WindowsFolder() {
  wchar_t buf[MAX_PATH + 1];
  UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
  std::string w = n && n <= MAX_PATH ? Narrow(std::wstring(buf, n)) : std::string();
  if (w.size() > 3 && w.back() == '\\') w.pop_back();
  return w;
}

std::string ExeFileName() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n < buf.size()) return Narrow(std::wstring(buf.data(), n));
    buf.resize(buf.size() * 2);
  }
}

std::string ExeFolder() { return ExtractFilePath(ExeFileName()); }

bool IsPlatformNT() {
  // Every system this program runs on is of the NT family; the version API lies
  // under compatibility shims, so ask the platform id that never changes.
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&v)) return true;
#pragma GCC diagnostic pop
  return v.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string FileVersionText(const std::string& file) {
  std::wstring w = Widen(file);
  DWORD dummy = 0;
  DWORD size = GetFileVersionInfoSizeW(w.c_str(), &dummy);
  if (!size) return {};
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(w.c_str(), 0, size, data.data())) return {};
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info) return {};
  return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(info->dwFileVersionLS)) + "." + std::to_string(LOWORD(info->dwFileVersionLS));
}

bool LockFileRegion(HANDLE file, DWORD offset, DWORD length) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (LockFile(file, offset, 0, length, 0)) return true;
    if (GetTickCount() - start >= 15000) return false;
    Sleep(110);
  }
}

void UnlockFileRegion(HANDLE file, DWORD offset, DWORD length) { UnlockFile(file, offset, 0, length, 0); }

std::string ReserveScratchFile(const std::string& folder, const std::string& ext) {
  const std::string base = IncludeTrailingBackslash(folder) + "~griv-";
  uint32_t seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char tag[16];
    snprintf(tag, sizeof tag, "%08x", seed + uint32_t(attempt) * 2654435761u);
    const std::string name = base + tag + ext;
    HANDLE h = CreateFileW(Widen(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return name;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
      throw std::runtime_error("Unable to create a scratch file in " + folder);
  }
  throw std::runtime_error("Unable to create a scratch file in " + folder);
}

}  // namespace griv
