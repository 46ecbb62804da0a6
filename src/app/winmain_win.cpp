// Program entry: one instance per user session. A second start hands its
// request to the running instance and ends.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <memory>

#include "ui/ui_win.h"
#include "app/main_form_win.h"
#include "app/hand_off.h"
#include "app/hand_off_win.h"
#include "base/codepage.h"
#include "base/scope_exit.h"
#include "base/step_times_win.h"
#include "base/file_io.h"
#include "base/handles_win.h"
#include "base/utf.h"
#include "mail/email_win.h"
#include "ui/ole_win.h"
#include "base/strings.h"
#include "ui/system_path_win.h"

using namespace griv;

namespace {

std::string FirstParameter() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::string p;
  if (argv && argc > 1) p = Narrow(argv[1]);
  if (argv) LocalFree(argv);
  return p;
}

// The running instance works in another folder: hand it a full name.
std::string FullName(const std::string& name) {
  std::wstring w = Widen(name);
  DWORD n = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
  if (!n) return name;
  std::wstring buf(n, L'\0');
  n = GetFullPathNameW(w.c_str(), n, buf.data(), nullptr);
  return n ? Narrow(std::wstring(buf.c_str())) : name;
}

int SecondStart(const std::string& p) {
  HWND main = FindWindowW(kMainClassName, nullptr);
  if (!main) return 0;
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  AllowSetForegroundWindow(pid);  // let the running instance come to the front
  const CommandRequest request = ParseCommandParam(p, [](const std::string& f) { return FileExists(f); });
  if (request == CommandRequest::CaptureFull) {
    SendMessageW(main, WM_CAPTURE_FULL, 0, 0);
  } else if (request == CommandRequest::CaptureActive) {
    SendMessageW(main, WM_CAPTURE_ACTIVE, 0, 0);
  } else if (request == CommandRequest::OpenFile) {
    const std::string full = FullName(p);
    std::string bytes;
    if (TextToCodePageExact(full, kAnsiCodePage, bytes) != CodePageResult::Ok) {
      // The hand-off file holds ANSI bytes: a name they cannot spell goes whole, in UTF-16.
      const std::wstring wide = Widen(full);
      COPYDATASTRUCT cd{kHandOffCopyData, static_cast<DWORD>(wide.size() * sizeof(wchar_t)),
                        const_cast<wchar_t*>(wide.data())};
      SendMessageW(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd));
      return 0;
    }
    // One second start at a time, from writing the file until the program has read it.
    UniqueKernelHandle turn(CreateMutexW(nullptr, FALSE, kHandOffMutexName));
    const bool ours = turn && WaitForSingleObject(turn.get(), 30000) != WAIT_TIMEOUT;
    ScopeExit release([&] {
      if (ours) ReleaseMutex(turn.get());
    });
    const std::string handOff = IncludeTrailingBackslash(TempFolder()) + kHandOffFileName;
    UniqueFileHandle f(CreateFileW(Widen(handOff).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    const bool ok = f && WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    f.reset();
    if (!ok) {
      ShowMessage(nullptr, "Error writing to " + handOff, ApplicationTitle(), MB_OK | MB_ICONERROR);
      return 2;
    }
    SendMessageW(main, WM_OPEN_HANDED_FILE, 0, 0);
  } else {
    SendMessageW(main, WM_SHOW_MAIN, 0, 0);
  }
  return 0;
}

LONG WINAPI TopLevelFilter(EXCEPTION_POINTERS*) {
  // A structured exception that nothing handled: say so rather than vanish.
  MessageBoxW(nullptr, L"An unexpected error stopped the program.", Widen(ApplicationTitle()).c_str(),
              MB_OK | MB_ICONERROR | MB_TASKMODAL);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

// The runtime's own handler writes the demangled type of an escaped exception
// to a console this program never has; replacing it also leaves the demangler
// (some 46 KB) out of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, LPWSTR, int) {
  MarkStep("process start to wWinMain");
  UniqueKernelHandle mutex(CreateMutexW(nullptr, FALSE, L"KTW"));
  DWORD wait = mutex ? WaitForSingleObject(mutex.get(), 0) : WAIT_FAILED;
  const std::string param = FirstParameter();
  if (wait == WAIT_TIMEOUT) return SecondStart(param);

  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  SetUnhandledExceptionFilter(TopLevelFilter);
  LoadMapi();  // whether mail is possible is settled once, before any window
  MarkStep("instance check, common controls, mail library");

  std::unique_ptr<TfrmCaptureForm> form;
  try {
    form = std::make_unique<TfrmCaptureForm>(inst, param);
    form->Create();
    form->CreateHotKeyEditor();
    MarkStep("hot-key editor");
  } catch (...) {
    HandleCurrentException();
    return 1;
  }

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    bool done = false;
    Guarded([&] { done = form->PreviewKeyDown(msg); });
    if (done) continue;
    HWND main = form->Handle();
    if (main && form->Accelerators() && (msg.hwnd == main || IsChild(main, msg.hwnd)) &&
        TranslateAcceleratorW(main, form->Accelerators(), &msg))
      continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  form.reset();
  ole::Stop();
  if (mutex && wait != WAIT_FAILED) ReleaseMutex(mutex.get());
  return static_cast<int>(msg.wParam);
}
