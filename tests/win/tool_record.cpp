// griv-record: a stand-in for any program the end-to-end tests want GRIV to
// start (an image editor, a browser for .htm pages, a mail client's helper):
// it writes down how it was started and ends at once.
//
// Each start appends one record to the file named by the environment variable
// GRIV_RECORD_FILE, or to griv-record.log next to the program:
//   cmdline: <the whole command line>
//   arg: <first argument>        (one line per argument, as the program sees them)
//   end
// Lines are UTF-8 with CRLF endings. With GRIV_RECORD_COPY_DIR set, every
// argument that names an existing file is also copied into that folder under
// its own name (for files the starter deletes or overwrites soon after).
// The exit code is 0, or the number in GRIV_RECORD_EXIT_CODE.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "tool_text.h"

namespace {

using griv_tool::Utf8;

std::wstring Env(const wchar_t* name) {
  wchar_t buf[32768];
  const DWORD n = GetEnvironmentVariableW(name, buf, 32768);
  return n && n < 32768 ? std::wstring(buf, n) : std::wstring();
}

std::wstring LogName() {
  std::wstring name = Env(L"GRIV_RECORD_FILE");
  if (!name.empty()) return name;
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring p(self, n);
  return p.substr(0, p.find_last_of(L"\\/") + 1) + L"griv-record.log";
}

std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  std::string record = "cmdline: " + Utf8(GetCommandLineW()) + "\r\n";
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring copyDir = Env(L"GRIV_RECORD_COPY_DIR");
  for (int i = 1; argv && i < argc; ++i) {
    record += "arg: " + Utf8(argv[i]) + "\r\n";
    const DWORD attr = GetFileAttributesW(argv[i]);
    if (!copyDir.empty() && attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY))
      CopyFileW(argv[i], (copyDir + L"\\" + FileName(argv[i])).c_str(), FALSE);
  }
  if (argv) LocalFree(argv);
  record += "end\r\n";
  // Appending from several starts at once: retry while another start holds the file.
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE f = CreateFileW(LogName().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(f, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
      CloseHandle(f);
      break;
    }
    Sleep(10);
  }
  const std::wstring code = Env(L"GRIV_RECORD_EXIT_CODE");
  return code.empty() ? 0 : _wtoi(code.c_str());
}
