// Whether GRIV shows a modal window (a dialog, a message box, a file dialog,
// the print preview, the send-mail window, the area overlay) and the requests
// that wait for it to close. Every modal path of the program enters a
// ModalScope for as long as its window runs; the window layer's primitives
// (dialogs, modal runs, message boxes, file dialogs) do so themselves.
//
//   ModalScope modal(window);                // around a modal window's loop
//   if (Modal().Shown()) return;             // a capture request, from any source
//   Modal().WhenFree([=] { Open(name); });  // a file handed over meanwhile waits
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace griv {

class ModalState {
 public:
  bool Shown() const { return !windows_.empty(); }
  // The innermost modal window's handle as its scope gave it (0: not known).
  std::uintptr_t Innermost() const { return windows_.empty() ? 0 : windows_.back(); }
  void SetInnermost(std::uintptr_t window) {
    if (!windows_.empty()) windows_.back() = window;
  }

  // Runs request at once when no modal window is shown; otherwise keeps it
  // until the last one has closed.
  void WhenFree(std::function<void()> request);
  // Runs the kept requests in order while no modal window is shown; one that
  // opens a modal window leaves the rest waiting for it.
  void RunWaiting();
  bool Waiting() const { return !waiting_.empty(); }
  // Raised when the last modal window closes while requests wait. The window
  // layer posts itself a message and calls RunWaiting from it, so they run
  // once the command that showed the window has finished.
  std::function<void()> OnFree;

  void Enter(std::uintptr_t window) { windows_.push_back(window); }
  void Leave();

 private:
  std::vector<std::uintptr_t> windows_;
  std::deque<std::function<void()>> waiting_;
};

// The program's one (modal windows run on the one GUI thread).
ModalState& Modal();

class ModalScope {
 public:
  explicit ModalScope(std::uintptr_t window = 0, ModalState& state = Modal()) : state_(state) { state_.Enter(window); }
  ~ModalScope() { state_.Leave(); }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  ModalState& state_;
};

}  // namespace griv
