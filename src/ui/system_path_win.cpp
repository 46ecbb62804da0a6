#include "ui/system_path_win.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "base/file_io.h"
#include "base/utf.h"
#include "ui/registry_win.h"
#include "base/strings.h"

namespace griv {

std::string ShellFolder(const char* name) {
  auto getenv = [](const std::string& var) -> std::optional<std::string> {
    wchar_t buf[32768];
    DWORD n = GetEnvironmentVariableW(Widen(var).c_str(), buf, 32768);
    if (n == 0 || n >= 32768) return std::nullopt;
    return Narrow(std::wstring(buf, n));
  };
  const std::string v = ExpandLastEnvVar(
      RegReadString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name, ""),
      getenv);
  return v.empty() ? v : IncludeTrailingBackslash(v);
}

void EmptyFolder(const std::string& folder, HWND owner) {
  if (!DirectoryExists(folder)) return;
  WIN32_FIND_DATAW fd;
  const HANDLE h = FindFirstFileW(Widen(folder + "*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  bool any = false;
  do {
    if (wcscmp(fd.cFileName, L".") != 0 && wcscmp(fd.cFileName, L"..") != 0) any = true;
  } while (!any && FindNextFileW(h, &fd));
  FindClose(h);
  if (!any) return;
  std::wstring from = Widen(folder + "*.*");
  from.push_back(L'\0');  // double terminator
  SHFILEOPSTRUCTW op{};
  op.hwnd = owner;
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  SHFileOperationW(&op);
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
