// RAII owners for Win32 handles and GDI objects.
#pragma once
#include <windows.h>

#include <utility>

namespace griv {

template <class T, class Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T h) : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, Traits::invalid());
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  T get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::invalid(); }
  T release() { return std::exchange(h_, Traits::invalid()); }
  void reset(T h = Traits::invalid()) {
    if (h_ != Traits::invalid()) Traits::close(h_);
    h_ = h;
  }

 private:
  T h_ = Traits::invalid();
};

struct KernelTraits {
  static HANDLE invalid() { return nullptr; }
  static void close(HANDLE h) { CloseHandle(h); }
};
struct FileTraits {
  static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { CloseHandle(h); }
};
struct KeyTraits {
  static HKEY invalid() { return nullptr; }
  static void close(HKEY h) { RegCloseKey(h); }
};
template <class G>
struct GdiTraits {
  static G invalid() { return nullptr; }
  static void close(G h) { DeleteObject(h); }
};
struct DcTraits {
  static HDC invalid() { return nullptr; }
  static void close(HDC h) { DeleteDC(h); }
};
struct IconTraits {
  static HICON invalid() { return nullptr; }
  static void close(HICON h) { DestroyIcon(h); }
};
struct MenuTraits {
  static HMENU invalid() { return nullptr; }
  static void close(HMENU h) { DestroyMenu(h); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelTraits>;
using UniqueFileHandle = UniqueHandle<HANDLE, FileTraits>;
using UniqueKey = UniqueHandle<HKEY, KeyTraits>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiTraits<HBITMAP>>;
using UniqueFont = UniqueHandle<HFONT, GdiTraits<HFONT>>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiTraits<HBRUSH>>;
using UniquePen = UniqueHandle<HPEN, GdiTraits<HPEN>>;
using UniqueRegion = UniqueHandle<HRGN, GdiTraits<HRGN>>;
using UniqueMemDC = UniqueHandle<HDC, DcTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;

// A DC from GetDC, released in every case.
class WindowDC {
 public:
  explicit WindowDC(HWND w) : w_(w), dc_(GetDC(w)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(w_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND w_;
  HDC dc_;
};

// Selects an object into a DC for the scope.
class SelectObj {
 public:
  SelectObj(HDC dc, HGDIOBJ o) : dc_(dc), old_(SelectObject(dc, o)) {}
  ~SelectObj() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectObj(const SelectObj&) = delete;
  SelectObj& operator=(const SelectObj&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Hourglass for the scope of a long operation.
class WaitCursor {
 public:
  WaitCursor() : old_(SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)))) {}
  ~WaitCursor() { SetCursor(old_ ? old_ : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512))); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR old_;
};

}  // namespace griv
