// Runs a clean-up when the scope ends, however it ends.
#pragma once
#include <utility>

namespace griv {

template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() {
    if (armed_) f_();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  // The clean-up is no longer needed (the work it undoes was kept).
  void Dismiss() { armed_ = false; }

 private:
  F f_;
  bool armed_ = true;
};

template <class F>
ScopeExit(F) -> ScopeExit<F>;

}  // namespace griv
