#include "markup/mark_list.h"

#include <stdexcept>

namespace griv {

void MarkList::Record(Step s) {
  undo_.push_back(std::move(s));
  if (undo_.size() > kUndoLevels) undo_.pop_front();
}

size_t MarkList::Add(Mark m) {
  CancelMove();
  Step s{Action::Add, marks_.size(), {}, 0, 0, nextNumber_};
  if (m.kind == MarkKind::Number) m.number = nextNumber_++;
  marks_.push_back(std::move(m));
  Record(std::move(s));
  return marks_.size() - 1;
}

void MarkList::Delete(size_t i) {
  if (i >= marks_.size()) throw std::out_of_range("no such mark");
  CancelMove();
  Record({Action::Delete, i, std::move(marks_[i]), 0, 0, nextNumber_});
  marks_.erase(marks_.begin() + std::ptrdiff_t(i));
  if (selected_ == int(i)) selected_ = -1;
  else if (selected_ > int(i)) --selected_;
}

void MarkList::Move(size_t i, double dx, double dy) {
  if (i >= marks_.size()) throw std::out_of_range("no such mark");
  if (dx == 0 && dy == 0) return;
  TranslateMark(marks_[i], dx, dy);
  Record({Action::Move, i, {}, dx, dy, nextNumber_});
}

void MarkList::BeginMove(size_t i) {
  if (i >= marks_.size() || marks_[i].points.empty()) throw std::out_of_range("no such mark");
  CancelMove();
  moving_ = int(i);
  moveStart_ = marks_[i].points.front();
}

void MarkList::MoveTo(double dx, double dy) {
  if (!Moving()) return;
  Mark& m = marks_[size_t(moving_)];
  const PointF now = m.points.front();
  TranslateMark(m, moveStart_.x + dx - now.x, moveStart_.y + dy - now.y);
}

void MarkList::EndMove() {
  if (!Moving()) return;
  const size_t i = size_t(moving_);
  moving_ = -1;
  const PointF now = marks_[i].points.front();
  const double dx = now.x - moveStart_.x, dy = now.y - moveStart_.y;
  if (dx != 0 || dy != 0) Record({Action::Move, i, {}, dx, dy, nextNumber_});
}

void MarkList::CancelMove() {
  if (!Moving()) return;
  MoveTo(0, 0);
  moving_ = -1;
}

const Mark* MarkList::UndoSubject() const {
  if (undo_.empty()) return nullptr;
  const Step& s = undo_.back();
  return s.action == Action::Delete ? &s.mark : &marks_[s.index];
}

bool MarkList::Undo() {
  CancelMove();
  if (undo_.empty()) return false;
  Step s = std::move(undo_.back());
  undo_.pop_back();
  switch (s.action) {
    case Action::Add: marks_.erase(marks_.begin() + std::ptrdiff_t(s.index)); break;
    case Action::Delete: marks_.insert(marks_.begin() + std::ptrdiff_t(s.index), std::move(s.mark)); break;
    case Action::Move: TranslateMark(marks_[s.index], -s.dx, -s.dy); break;
  }
  nextNumber_ = s.nextNumber;
  selected_ = -1;
  return true;
}

int MarkList::HitTest(PointF p, double tolerance) const {
  for (size_t i = marks_.size(); i-- > 0;)
    if (HitMark(marks_[i], p, tolerance)) return int(i);
  return -1;
}

void MarkList::Clear() {
  marks_.clear();
  undo_.clear();
  nextNumber_ = 1;
  selected_ = moving_ = -1;
}

}  // namespace griv
