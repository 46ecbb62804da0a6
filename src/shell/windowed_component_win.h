// Base of the non-visual components that need a window of their own to
// receive messages (hot keys, tray notifications, the animation clock).
#pragma once
#include <windows.h>

#include <exception>
#include <functional>

namespace griv {

// Where exceptions thrown while a component handles a message end up; they
// never cross the window procedure. Set by the application at start-up.
void SetComponentExceptionHandler(std::function<void(std::exception_ptr)> handler);
void ReportComponentException(std::exception_ptr e);

class TWindowedComponent {
 public:
  enum class WindowKind {
    MessageOnly,     // never enumerated, gets no broadcasts
    HiddenTopLevel,  // invisible, but receives broadcasts such as "TaskbarCreated"
  };

  explicit TWindowedComponent(WindowKind kind = WindowKind::MessageOnly) : kind_(kind) {}
  virtual ~TWindowedComponent();
  TWindowedComponent(const TWindowedComponent&) = delete;
  TWindowedComponent& operator=(const TWindowedComponent&) = delete;

  // The hidden window, created on first use on the calling thread.
  HWND Handle();
  bool HandleAllocated() const { return hwnd_ != nullptr; }

 protected:
  // Every message of the hidden window. Overrides pass what they do not
  // handle on to the base, which gives it to the system.
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
  // Derived destructors call this while their own WndProc still applies.
  void DestroyHandle();

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  WindowKind kind_;
  HWND hwnd_ = nullptr;
};

}  // namespace griv
