#include "shell/windowed_component_win.h"

#include <stdexcept>
#include <utility>

namespace griv {

namespace {

std::function<void(std::exception_ptr)>& ExceptionHandler() {
  static std::function<void(std::exception_ptr)> handler;
  return handler;
}

constexpr wchar_t kClassName[] = L"GRIVComponentWindow";

HINSTANCE ModuleInstance() {
  // The module this code lives in, also when linked into a test program.
  HMODULE m = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ModuleInstance), &m);
  return m;
}

}  // namespace

void SetComponentExceptionHandler(std::function<void(std::exception_ptr)> handler) {
  ExceptionHandler() = std::move(handler);
}

void ReportComponentException(std::exception_ptr e) {
  try {
    if (ExceptionHandler()) {
      ExceptionHandler()(e);
    } else if (e) {
      std::rethrow_exception(e);
    }
  } catch (const std::exception& x) {
    OutputDebugStringA(x.what());
  } catch (...) {
    // Nothing sensible is left to do inside a window procedure.
  }
}

TWindowedComponent::~TWindowedComponent() { DestroyHandle(); }

HWND TWindowedComponent::Handle() {
  if (hwnd_) return hwnd_;
  HINSTANCE inst = ModuleInstance();
  static ATOM atom = [inst] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TWindowedComponent::StaticWndProc;
    wc.hInstance = inst;
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc);
  }();
  if (!atom) throw std::runtime_error("Cannot register the component window class");
  HWND parent = kind_ == WindowKind::MessageOnly ? HWND_MESSAGE : nullptr;
  DWORD exStyle = kind_ == WindowKind::HiddenTopLevel ? WS_EX_TOOLWINDOW : 0;
  // hwnd_ is set from WM_NCCREATE, so messages sent during creation already find us.
  HWND h = CreateWindowExW(exStyle, kClassName, L"", WS_POPUP, 0, 0, 0, 0, parent, nullptr, inst, this);
  // Without a desktop (a service, a session with no display) only a message
  // window can be had; the component still works, it just hears no broadcasts.
  if (!h && parent != HWND_MESSAGE)
    h = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, this);
  if (!h) throw std::runtime_error("Cannot create the component window");
  return hwnd_;
}

LRESULT TWindowedComponent::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefaultHandler(msg, wParam, lParam);
}

LRESULT TWindowedComponent::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
  return hwnd_ ? DefWindowProcW(hwnd_, msg, wParam, lParam) : 0;
}

void TWindowedComponent::DestroyHandle() {
  if (hwnd_) DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_
  hwnd_ = nullptr;
}

LRESULT CALLBACK TWindowedComponent::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TWindowedComponent*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<TWindowedComponent*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  LRESULT result = 0;
  try {
    result = self->WndProc(msg, wParam, lParam);
  } catch (...) {
    ReportComponentException(std::current_exception());
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

}  // namespace griv
