#include "ui/windowed_component_win.h"

namespace griv {

HWND TWindowedComponent::Handle() {
  if (HWND h = WindowBase::Handle()) return h;
  static const WindowClass kClass{L"GRIVComponentWindow"};
  if (kind_ == WindowKind::HiddenTopLevel) {
    // Without a desktop (a service, a session with no display) only a message
    // window can be had; the component still works, it just hears no broadcasts.
    try {
      return CreateWin(kClass, WS_EX_TOOLWINDOW, L"", WS_POPUP, 0, 0, 0, 0, nullptr);
    } catch (...) {
    }
  }
  return CreateWin(kClass, 0, L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE);
}

}  // namespace griv
