#include "ui/gui_thread_win.h"

#include <memory>

#include "ui/window_base_win.h"

namespace griv {

namespace {
constexpr UINT kCallMessage = WM_APP + 0x40;

class GuiCalls : public WindowBase {
 public:
  void Create() {
    if (!Handle()) CreateWin({L"GrivGuiCalls"}, 0, L"", 0, 0, 0, 0, 0, HWND_MESSAGE);
    window_ = Handle();
  }
  // Read by other threads: set once, before any of them exists.
  HWND window_ = nullptr;

 private:
  LRESULT WndProc(UINT m, WPARAM wp, LPARAM lp) override {
    if (m == kCallMessage) {
      std::unique_ptr<std::function<void()>> call(reinterpret_cast<std::function<void()>*>(lp));
      (*call)();
      return 0;
    }
    return WindowBase::WndProc(m, wp, lp);
  }
};

GuiCalls& Calls() {
  static GuiCalls calls;
  return calls;
}
}  // namespace

void PrepareGuiThreadCalls() { Calls().Create(); }

void CallOnGuiThread(std::function<void()> call) {
  const HWND w = Calls().window_;
  if (!w) return;
  auto* held = new std::function<void()>(std::move(call));
  if (!PostMessageW(w, kCallMessage, 0, reinterpret_cast<LPARAM>(held))) delete held;
}

}  // namespace griv
