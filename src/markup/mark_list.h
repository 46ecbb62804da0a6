// The marks of the one picture, bottom to top, with their own undo of many
// levels (add, move, delete), the counter of number marks and the selection.
// The marks live until the picture is replaced (Clear).
#pragma once
#include <cstddef>
#include <deque>
#include <vector>

#include "markup/mark.h"

namespace griv {

class MarkList {
 public:
  // Undo keeps at most this many actions; the oldest go first.
  static constexpr size_t kUndoLevels = 1000;

  const std::vector<Mark>& Marks() const { return marks_; }
  const Mark& operator[](size_t i) const { return marks_[i]; }
  size_t Size() const { return marks_.size(); }
  bool Empty() const { return marks_.empty(); }

  // Puts m on top; a number mark takes the next number. Returns its index.
  size_t Add(Mark m);
  // Removes mark i (the other numbers keep theirs).
  void Delete(size_t i);
  // One finished move of mark i by (dx, dy).
  void Move(size_t i, double dx, double dy);

  // A move while the button is held: the mark follows the pointer, and
  // EndMove records the whole drag as one action (none when it did not
  // move). CancelMove puts it back.
  void BeginMove(size_t i);
  void MoveTo(double dx, double dy);  // offset from where BeginMove found it
  bool Moving() const { return moving_ >= 0; }
  void EndMove();
  void CancelMove();

  bool CanUndo() const { return !undo_.empty(); }
  // The mark the next Undo takes away, puts back or moves back, as it is
  // now, and where it is (or goes back to) in the list; null when none.
  const Mark* UndoSubject() const;
  size_t UndoIndex() const { return undo_.empty() ? 0 : undo_.back().index; }
  // Takes back the last action; the number counter goes back with it.
  // Drops the selection. False when there was nothing to undo.
  bool Undo();

  // The number the next number mark gets: 1, 2, 3 ... in the order placed.
  int NextNumber() const { return nextNumber_; }

  // The topmost mark under p, or -1.
  int HitTest(PointF p, double tolerance) const;

  int Selected() const { return selected_; }
  void Select(int i) { selected_ = i >= 0 && size_t(i) < marks_.size() ? i : -1; }

  // A new picture: no marks, no undo, numbers from 1 again.
  void Clear();

 private:
  enum class Action { Add, Delete, Move };
  struct Step {
    Action action;
    size_t index;
    Mark mark;              // Delete: the mark removed
    double dx = 0, dy = 0;  // Move
    int nextNumber = 1;     // the counter before the action
  };
  void Record(Step s);

  std::vector<Mark> marks_;
  std::deque<Step> undo_;
  int nextNumber_ = 1;
  int selected_ = -1;
  int moving_ = -1;
  PointF moveStart_;  // the first point of the moving mark when the move began
};

}  // namespace griv
