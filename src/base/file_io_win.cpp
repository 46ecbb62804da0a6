// The file primitives of file_io.h on Windows: wide names, attributes.
#include <windows.h>

#include "base/file_io.h"
#include "base/utf.h"

namespace griv {

namespace {

std::string SystemReason(DWORD code) {
  switch (code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "the disk is full";
    case ERROR_ACCESS_DENIED: return "access is denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return "the file is in use by another program";
    case ERROR_WRITE_PROTECT: return "the disk is write-protected";
    case ERROR_PATH_NOT_FOUND: return "the folder does not exist";
    default: break;
  }
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring w = n && text ? std::wstring(text, n) : std::wstring();
  if (text) LocalFree(text);
  while (!w.empty() && (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ' || w.back() == L'.')) w.pop_back();
  return w.empty() ? "system error " + std::to_string(code) : Narrow(w);
}

}  // namespace

FilePtr OpenFile(const std::string& name, const char* mode) {
  return FilePtr(_wfopen(Widen(name).c_str(), Widen(mode).c_str()));
}

std::string OpenFailureMessage(const std::string& name) {
  // The C library says only "permission denied" for a file another program has locked.
  const DWORD code = GetLastError();
  const std::string why = code == ERROR_FILE_NOT_FOUND ? "the file does not exist" : SystemReason(code);
  return "Cannot open file " + name + ": " + why;
}

bool FileExists(const std::string& name) {
  DWORD a = GetFileAttributesW(Widen(name).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& name) {
  DWORD a = GetFileAttributesW(Widen(name).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteFileUtf8(const std::string& name) { return DeleteFileW(Widen(name).c_str()) != 0; }

int64_t FileSize(const std::string& name) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(Widen(name).c_str(), GetFileExInfoStandard, &d)) return -1;
  if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (int64_t(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

bool IsReadOnlyFile(const std::string& name) {
  DWORD a = GetFileAttributesW(Widen(name).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_READONLY);
}

bool MoveFileReplacing(const std::string& from, const std::string& to, std::string& reason) {
  if (MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  reason = SystemReason(GetLastError());
  return false;
}

}  // namespace griv
