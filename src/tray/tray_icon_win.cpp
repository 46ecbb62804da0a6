#include "tray/tray_icon_win.h"

#include <algorithm>
#include <atomic>
#include <memory>

#include "base/system_dll_win.h"
#include "base/utf.h"

namespace griv {

// ---- animation clock ----

namespace {

// The animation clock: the multimedia timer's millisecond time and sleep
// resolution, from winmm loaded when an animation first runs rather than at
// start-up. Without winmm the tick count stands in.
class MultimediaClock {
 public:
  static const MultimediaClock& Get() {
    static const MultimediaClock clock;
    return clock;
  }
  DWORD Now() const { return time_ ? time_() : GetTickCount(); }
  void BeginPeriod() const {
    if (begin_) begin_(1);
  }
  void EndPeriod() const {
    if (end_) end_(1);
  }

 private:
  using TimeFn = DWORD WINAPI();
  using PeriodFn = UINT WINAPI(UINT);
  TimeFn* time_ = SystemProc<TimeFn>(L"winmm.dll", "timeGetTime");
  PeriodFn* begin_ = SystemProc<PeriodFn>(L"winmm.dll", "timeBeginPeriod");
  PeriodFn* end_ = SystemProc<PeriodFn>(L"winmm.dll", "timeEndPeriod");
};

constexpr UINT kTickMessage = WM_APP + 1;
constexpr DWORD kTickIntervalMs = 5;

struct ClockState {
  std::atomic<bool> terminate{false};
  HWND target = nullptr;
};

class TTimerPool : public TWindowedComponent {
 public:
  TTimerPool() : TWindowedComponent(WindowKind::MessageOnly) {
    list.OnRunChanged = [this](bool run) { run ? StartThread() : StopThread(); };
  }
  ~TTimerPool() override {
    list.OnRunChanged = nullptr;
    StopThread();
    DestroyHandle();
  }

  TimerPoolList list;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == kTickMessage) {
      // A tick that was on its way when the clock was stopped is dropped.
      auto* from = reinterpret_cast<ClockState*>(lParam);
      if (state_ && from == state_.get() && !state_->terminate)
        list.Tick(MultimediaClock::Get().Now() - static_cast<DWORD>(wParam));
      return 0;
    }
    return TWindowedComponent::WndProc(msg, wParam, lParam);
  }

 private:
  void StartThread() {
    auto state = std::make_shared<ClockState>();
    state->target = Handle();
    state_ = state;
    // The thread owns its share of the state and ends by itself once told to.
    auto* share = new std::shared_ptr<ClockState>(state);
    HANDLE thread = CreateThread(nullptr, 0, &ThreadMain, share, 0, nullptr);
    if (thread) {
      CloseHandle(thread);
    } else {
      delete share;
    }
  }

  void StopThread() {
    if (!state_) return;
    state_->terminate = true;
    state_.reset();
  }

  static DWORD WINAPI ThreadMain(void* share) {
    std::unique_ptr<std::shared_ptr<ClockState>> mine(static_cast<std::shared_ptr<ClockState>*>(share));
    Run(*mine);
    return 0;
  }

  static void Run(std::shared_ptr<ClockState> state) {
    const MultimediaClock& clock = MultimediaClock::Get();
    clock.BeginPeriod();
    while (!state->terminate) {
      DWORD start = clock.Now();
      // Poll the clock, yielding between looks instead of spinning a core.
      while (clock.Now() - start < kTickIntervalMs) Sleep(1);
      if (state->terminate) break;
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(state->target, kTickMessage, start, reinterpret_cast<LPARAM>(state.get()), SMTO_NORMAL,
                          1000, &ignored);
    }
    clock.EndPeriod();
  }

  std::shared_ptr<ClockState> state_;
};

TTimerPool& Pool() {
  static TTimerPool pool;
  return pool;
}

constexpr UINT_PTR kTaskbarTimerId = 1;
constexpr UINT kAllFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

int SmallIconSize() { return GetSystemMetrics(SM_CXSMICON); }

// An elevated process gets the task bar's broadcast only when it lets it in.
void AllowMessage(HWND hwnd, UINT msg) {
  using Fn = BOOL WINAPI(HWND, UINT, DWORD, void*);
  static const auto fn = SystemProc<Fn>(L"user32.dll", "ChangeWindowMessageFilterEx");
  if (fn && msg) fn(hwnd, msg, 1 /* MSGFLT_ALLOW */, nullptr);
}

}  // namespace

TimerPoolList& AnimationTimerPool() { return Pool().list; }

// ---- tray icon ----

TAnimatedTrayIcon::TAnimatedTrayIcon(HWND owner)
    : TWindowedComponent(WindowKind::HiddenTopLevel),
      owner_(owner),
      callbackMessage_(RegisterWindowMessageW(L"TAnimatedTrayIconCallBackMsg")),
      icon_(DefaultIcon()),
      animation_(&AnimationTimerPool(), false) {
  ShellNotify = [](DWORD message, NOTIFYICONDATAW* data) { return Shell_NotifyIconW(message, data); };
  TaskbarPresent = [] { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; };
  animation_.OnNewFrame = [this](int frame) {
    if (active_ && shown_) ModifyIcon(NIF_ICON, FrameIcon(frame));
  };
  animation_.OnStopped = [this] {
    if (repeatCount_ != 0 && OnEndAnimation) OnEndAnimation();
  };
}

TAnimatedTrayIcon::~TAnimatedTrayIcon() {
  // The owner is going away too: raise nothing more.
  OnClick = OnDblClick = OnMouseMove = OnEndAnimation = nullptr;
  OnMouseDown = OnMouseUp = nullptr;
  OnPopup = nullptr;
  try {
    SetActive(false);
  } catch (...) {
    // The icon goes with the window anyway.
  }
  animation_.OnNewFrame = nullptr;
  animation_.OnStopped = nullptr;
  if (animation_.Playing()) animation_.Stop();
  DestroyHandle();
}

UINT TAnimatedTrayIcon::TaskbarCreatedMessage() {
  static const UINT msg = RegisterWindowMessageW(L"TaskbarCreated");
  return msg;
}

HICON TAnimatedTrayIcon::DefaultIcon() {
  int size = SmallIconSize();
  auto h = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), L"TRAYICON", IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  if (!h) h = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
  return h;
}

BOOL TAnimatedTrayIcon::NotifyShell(DWORD message, UINT flags, HICON icon) {
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = Handle();
  nid.uID = 0;
  nid.uFlags = flags;
  nid.uCallbackMessage = callbackMessage_;
  nid.hIcon = icon;
  if (showHint_) {
    static_assert(sizeof nid.szTip / sizeof nid.szTip[0] > kMaxTipUnits, "the long tip field");
    std::wstring tip = Widen(TruncateTip(hint_));
    size_t n = std::min<size_t>(tip.size(), kMaxTipUnits);
    if (n > 0 && n < tip.size() && IS_HIGH_SURROGATE(tip[n - 1])) --n;
    tip.copy(nid.szTip, n);
    nid.szTip[n] = 0;
  }
  return ShellNotify ? ShellNotify(message, &nid) : FALSE;
}

bool TAnimatedTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
  if (!active_ || !shown_ || !ShellNotify) return false;
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = Handle();
  nid.uID = 0;
  nid.uFlags = NIF_INFO;
  const std::wstring t = Widen(title), m = Widen(text);
  t.copy(nid.szInfoTitle, std::min<size_t>(t.size(), std::size(nid.szInfoTitle) - 1));
  m.copy(nid.szInfo, std::min<size_t>(m.size(), std::size(nid.szInfo) - 1));
  nid.dwInfoFlags = NIIF_INFO;
  if (!ShellNotify(NIM_MODIFY, &nid)) return false;
  return true;
}

void TAnimatedTrayIcon::ModifyIcon(UINT flags, HICON icon) {
  if (active_ && shown_) NotifyShell(NIM_MODIFY, flags, icon);
}

void TAnimatedTrayIcon::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  UpdateTrayIcon();
}

void TAnimatedTrayIcon::UpdateTrayIcon() {
  if (active_) {
    // The window exists from now on, so a re-created task bar finds it.
    AllowMessage(Handle(), TaskbarCreatedMessage());
    if (!TaskbarPresent || TaskbarPresent()) {
      AddIcon();
    } else if (!waiting_) {
      // No task bar yet (early in a session, or a shell without one): look
      // again now and then rather than holding up the caller.
      waiting_ = SetTimer(Handle(), kTaskbarTimerId, kTaskbarPollMs, nullptr) != 0;
    }
    return;
  }
  if (waiting_) {
    KillTimer(Handle(), kTaskbarTimerId);
    waiting_ = false;
  }
  if (animation_.Playing()) animation_.Stop();
  if (shown_) {
    shown_ = false;
    NotifyShell(NIM_DELETE, kAllFlags, icon_.get());
  }
}

void TAnimatedTrayIcon::AddIcon() {
  if (waiting_) {
    KillTimer(Handle(), kTaskbarTimerId);
    waiting_ = false;
  }
  shown_ = true;
  NotifyShell(NIM_ADD, kAllFlags, CurrentIcon());
}

HICON TAnimatedTrayIcon::CurrentIcon() {
  if (style_ == TTrayIconStyle::tsAnimated && animation_.Count() > 0) {
    if (active_) animation_.Play(repeatCount_);
    return FrameIcon(0);
  }
  if (animation_.Playing()) animation_.Stop();
  return icon_.get();
}

HICON TAnimatedTrayIcon::FrameIcon(int frame) {
  if (frame < 0 || frame >= animation_.Count()) return icon_.get();
  const auto& data = animation_.Frames()[static_cast<size_t>(frame)].iconData;
  int size = SmallIconSize();
  auto range = PickIconImage(data.data(), data.size(), size);
  if (!range) return icon_.get();  // an empty or unreadable frame shows the still image
  HICON h = CreateIconFromResourceEx(const_cast<PBYTE>(data.data() + range->offset),
                                     static_cast<DWORD>(range->size), TRUE, 0x00030000, size, size,
                                     LR_DEFAULTCOLOR);
  if (!h) return icon_.get();
  // The shell keeps its own copy of what it was given, so the last frame can go.
  frameIcon_.reset(h);
  return h;
}

void TAnimatedTrayIcon::SetHint(const std::string& value) {
  if (value == hint_) return;
  hint_ = value;
  ModifyIcon(NIF_TIP, icon_.get());
}

void TAnimatedTrayIcon::SetShowHint(bool value) {
  if (value == showHint_) return;
  showHint_ = value;
  ModifyIcon(NIF_TIP, icon_.get());
}

void TAnimatedTrayIcon::SetIcon(HICON icon) {
  HICON copy = icon ? CopyIcon(icon) : DefaultIcon();
  if (!copy) copy = DefaultIcon();
  icon_.reset(copy);
  ModifyIcon(NIF_ICON, CurrentIcon());
}

void TAnimatedTrayIcon::SetStyle(TTrayIconStyle value) {
  if (value == style_) return;
  style_ = value;
  ModifyIcon(NIF_ICON, CurrentIcon());
}

void TAnimatedTrayIcon::SetRepeatCount(int value) {
  if (value < 0 || value == repeatCount_) return;
  repeatCount_ = value;
  ModifyIcon(NIF_ICON, CurrentIcon());
}

void TAnimatedTrayIcon::HideApplicationButton(HWND wnd) {
  LONG_PTR ex = GetWindowLongPtrW(wnd, GWL_EXSTYLE);
  // An app-window style would keep the button despite the tool-window style.
  SetWindowLongPtrW(wnd, GWL_EXSTYLE, (ex | WS_EX_TOOLWINDOW) & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW));
}

void TAnimatedTrayIcon::HandleMouse(unsigned mouseMessage) {
  TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  for (const TrayEvent& e : mouse_.Translate(mouseMessage)) {
    TShiftState s = shift | (e.isDouble ? ssDouble : 0);
    switch (e.kind) {
      case TrayEventKind::MouseMove:
        if (OnMouseMove) OnMouseMove();
        break;
      case TrayEventKind::MouseDown:
        if (OnMouseDown) OnMouseDown(e.button, s);
        break;
      case TrayEventKind::MouseUp:
        if (OnMouseUp) OnMouseUp(e.button, s);
        break;
      case TrayEventKind::Click:
        if (OnClick) OnClick();
        break;
      case TrayEventKind::DblClick:
        if (OnDblClick) OnDblClick();
        break;
      case TrayEventKind::Popup:
        // The shell sent this notification and waits for our answer; the menu
        // runs after it has been answered so the shell's thread is not held
        // up while the menu is open (otherwise keyboard focus can be lost).
        PostMessageW(Handle(), kShowPopupMessage, 0, 0);
        break;
    }
  }
}

void TAnimatedTrayIcon::ShowPopup() {
  if (popupMenu_ && !IsMenu(popupMenu_)) popupMenu_ = nullptr;
  if (!popupMenu_) return;
  if (OnPopup) OnPopup();
  HWND target = owner_ ? owner_ : Handle();
  // Without the foreground the menu would not close when the user clicks
  // elsewhere. A hidden owner is not made the foreground window: the menu
  // runs on the component's own window and hands the chosen command on.
  HWND menuWindow = IsWindowVisible(target) ? target : Handle();
  SetForegroundWindow(menuWindow);
  POINT pt{};
  GetCursorPos(&pt);
  UINT cmd = TrackPopupMenu(popupMenu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, pt.x, pt.y, 0, menuWindow,
                            nullptr);
  PostMessageW(menuWindow, WM_NULL, 0, 0);
  if (cmd) PostMessageW(target, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
  PostMessageW(target, WM_USER, 0, 0);
}

LRESULT TAnimatedTrayIcon::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == callbackMessage_ && callbackMessage_ != 0) {
    if (wParam == 0) HandleMouse(static_cast<unsigned>(lParam) & 0xFFFF);
    return 0;
  }
  if (msg == kShowPopupMessage) {
    ShowPopup();
    return 0;
  }
  if (msg == TaskbarCreatedMessage() && msg != 0) {
    // The shell came back (for instance after a crash of its task bar): the
    // icons it knew are gone, so ours is handed over again.
    if (active_) AddIcon();
    return 0;
  }
  if (msg == WM_TIMER && wParam == kTaskbarTimerId) {
    if (!active_) {
      KillTimer(Handle(), kTaskbarTimerId);
      waiting_ = false;
    } else if (!TaskbarPresent || TaskbarPresent()) {
      AddIcon();
    }
    return 0;
  }
  return TWindowedComponent::WndProc(msg, wParam, lParam);
}

}  // namespace griv
