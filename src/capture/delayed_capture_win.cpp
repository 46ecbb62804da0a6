#include "capture/delayed_capture_win.h"

#include "base/utf.h"
#include "capture/capture_commands.h"
#include "ids_app.h"

namespace griv {

namespace {
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMs = 100;  // the count shows a new second within this
constexpr int kEscapeHotKey = 0x4701;
}  // namespace

DelayedCapture::~DelayedCapture() {
  if (Handle()) {
    KillTimer(Handle(), kTickTimer);
    if (escapeHeld_) UnregisterHotKey(Handle(), kEscapeHotKey);
  }
  Destroy();
}

void DelayedCapture::AddTo(CommandTable& table) {
  table.Add(std::span<const CommandRule>(), {{CM_CAPDELAYED, CM_CAPDELAYED, [this](int) { Start(); }},
                                             {CM_CANCELDELAYED, CM_CANCELDELAYED, [this](int) { Cancel(); }}});
  table.AddState([this](CommandContext& c) { c.delayedCapture = Counting(); });
}

void DelayedCapture::UpdateMenuText() {
  if (!trayMenu_) return;
  std::wstring text = Widen(DelayedCaptureText(settings_.CaptureDelay));
  // The access letter stays on the "i" of "in".
  const size_t in = text.find(L" in ");
  if (in != std::wstring::npos) text.insert(in + 1, L"&");
  ModifyMenuW(trayMenu_, CM_CAPDELAYED, MF_BYCOMMAND | MF_STRING, CM_CAPDELAYED, text.c_str());
}

int DelayedCapture::SecondsLeft() const {
  if (!Counting()) return 0;
  const LONG left = static_cast<LONG>(deadline_ - GetTickCount());
  return left <= 0 ? 0 : static_cast<int>((left + 999) / 1000);
}

void DelayedCapture::Start() {
  if (!Handle()) CreateWin({L"GrivDelayedCapture"}, 0, L"", 0, 0, 0, 0, 0, HWND_MESSAGE);
  // Starting again while it counts begins the count anew.
  deadline_ = GetTickCount() + static_cast<DWORD>(settings_.CaptureDelay) * 1000;
  if (deadline_ == 0) deadline_ = 1;
  // Esc stops the count whichever program has the keyboard; another
  // program that holds Esc leaves only the menu item.
  if (!escapeHeld_) escapeHeld_ = RegisterHotKey(Handle(), kEscapeHotKey, 0, VK_ESCAPE) != FALSE;
  SetTimer(Handle(), kTickTimer, kTickMs, nullptr);
  shown_ = 0;
  Tick();
  app_.UpdateCommands();
}

void DelayedCapture::Stop() {
  deadline_ = 0;
  shown_ = 0;
  if (Handle()) {
    KillTimer(Handle(), kTickTimer);
    if (escapeHeld_) UnregisterHotKey(Handle(), kEscapeHotKey);
  }
  escapeHeld_ = false;
  if (OnCountdown) OnCountdown(0);
  app_.UpdateCommands();
}

void DelayedCapture::Cancel() {
  if (Counting()) Stop();
}

void DelayedCapture::Tick() {
  if (!Counting()) return;
  const int left = SecondsLeft();
  if (left > 0) {
    if (left != shown_ && OnCountdown) OnCountdown(left);
    shown_ = left;
    return;
  }
  Stop();
  capture_.Request(Capture::Full);
}

LRESULT DelayedCapture::WndProc(UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_TIMER:
      if (wp == kTickTimer) Tick();
      return 0;
    case WM_HOTKEY:
      if (wp == kEscapeHotKey) Cancel();
      return 0;
  }
  return WindowBase::WndProc(m, wp, lp);
}

}  // namespace griv
