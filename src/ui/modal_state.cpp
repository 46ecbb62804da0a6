#include "ui/modal_state.h"

namespace griv {

ModalState& Modal() {
  static ModalState state;
  return state;
}

void ModalState::WhenFree(std::function<void()> request) {
  if (!request) return;
  if (!Shown() && waiting_.empty()) {
    request();
    return;
  }
  waiting_.push_back(std::move(request));
}

void ModalState::RunWaiting() {
  while (!Shown() && !waiting_.empty()) {
    auto request = std::move(waiting_.front());
    waiting_.pop_front();
    request();
  }
}

void ModalState::Leave() {
  if (windows_.empty()) return;
  windows_.pop_back();
  if (windows_.empty() && !waiting_.empty() && OnFree) OnFree();
}

}  // namespace griv
