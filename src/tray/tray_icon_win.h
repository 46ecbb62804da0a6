// The program's icon in the notification area: tooltip, image, mouse events,
// the right-button menu and the (unused by the program) frame animation.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "base/handles_win.h"
#include "tray/tray_model.h"
#include "ui/windowed_component_win.h"

namespace griv {

enum class TTrayIconStyle { tsNormal, tsAnimated };

// The process-wide animation clock: a worker thread that measures 5 ms steps
// and hands each one to the GUI thread synchronously. It runs only while some
// animation plays. Create and use it on the GUI thread.
TimerPoolList& AnimationTimerPool();

class TAnimatedTrayIcon : public TWindowedComponent {
 public:
  // owner receives the menu's WM_COMMAND and the WM_USER posted after the menu.
  explicit TAnimatedTrayIcon(HWND owner = nullptr);
  ~TAnimatedTrayIcon() override;

  HWND Owner() const { return owner_; }

  bool Active() const { return active_; }
  void SetActive(bool value);
  const std::string& Hint() const { return hint_; }  // UTF-8
  void SetHint(const std::string& value);
  void SetShowHint(bool value);
  // The still image. Assigning copies it; a null icon brings back "TRAYICON".
  HICON Icon() const { return icon_.get(); }
  void SetIcon(HICON icon);
  TTrayIconStyle Style() const { return style_; }
  void SetStyle(TTrayIconStyle value);
  void SetRepeatCount(int value);  // negative values are ignored
  TAnimatedIcons& Animation() { return animation_; }
  void SetAnimation(const TAnimatedIcons& value) { animation_.Assign(value); }

  // Menu for the right button; a destroyed menu counts as none. OnPopup runs
  // just before it opens (to update checks and enabled items).
  HMENU PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(HMENU menu) { popupMenu_ = menu; }
  std::function<void()> OnPopup;

  // Gives wnd no task-bar button.
  static void HideApplicationButton(HWND wnd);

  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void()> OnMouseMove;
  std::function<void(TrayButton, TShiftState)> OnMouseDown;
  std::function<void(TrayButton, TShiftState)> OnMouseUp;
  std::function<void()> OnEndAnimation;

  // The shell call, replaceable so tests can watch it.
  std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)> ShellNotify;
  // Whether the shell's task bar exists yet; replaceable for tests.
  std::function<bool()> TaskbarPresent;

  // A balloon note from the icon (once the icon is shown); false when the
  // shell did not take it.
  bool ShowBalloon(const std::string& title, const std::string& text);

  UINT CallbackMessage() const { return callbackMessage_; }
  static UINT TaskbarCreatedMessage();
  // The icon has been handed to the shell and not removed since.
  bool IconShown() const { return shown_; }
  // Active, but no task bar yet: polling for one.
  bool WaitingForTaskbar() const { return waiting_; }
  static constexpr UINT kTaskbarPollMs = 500;
  static constexpr UINT kShowPopupMessage = WM_APP + 0x71;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  BOOL NotifyShell(DWORD message, UINT flags, HICON icon);
  void UpdateTrayIcon();
  void AddIcon();
  HICON CurrentIcon();
  HICON FrameIcon(int frame);
  void ModifyIcon(UINT flags, HICON icon);
  void HandleMouse(unsigned mouseMessage);
  void ShowPopup();
  static HICON DefaultIcon();

  HWND owner_;
  UINT callbackMessage_;
  bool active_ = false;
  bool shown_ = false;
  bool waiting_ = false;
  std::string hint_;
  bool showHint_ = true;
  UniqueIcon icon_;
  UniqueIcon frameIcon_;  // the animation frame last shown
  TTrayIconStyle style_ = TTrayIconStyle::tsNormal;
  int repeatCount_ = 0;
  TAnimatedIcons animation_;
  HMENU popupMenu_ = nullptr;
  TrayMouseTracker mouse_;
};

}  // namespace griv
