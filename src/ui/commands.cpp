#include "ui/commands.h"

namespace griv {

bool Meets(uint32_t needs, const CommandContext& c) {
  if ((needs & kImage) && !c.image) return false;
  if ((needs & kPrintable) && !(c.image && c.fullImageHasPixels && c.printer)) return false;
  if ((needs & kPrinter) && !c.printer) return false;
  if ((needs & kUndo) && !c.undo) return false;
  if ((needs & kEditorConfigured) && !c.editorConfigured) return false;
  if ((needs & kEditorExists) && !c.editorExists) return false;
  if ((needs & kClipboardBitmap) && !c.clipboardBitmap) return false;
  if ((needs & kOneToOne) && !c.oneToOne) return false;
  if ((needs & kSaveWritten) && !c.saveWritten) return false;
  if ((needs & kMail) && !c.mail) return false;
  if ((needs & kDelayedCapture) && !c.delayedCapture) return false;
  return true;
}

const CommandRule* RuleFor(std::span<const CommandRule> rules, int id, Place place) {
  for (const CommandRule& r : rules)
    if (id >= r.first && id <= r.last && (r.places & place)) return &r;
  return nullptr;
}

bool RulesEnable(std::span<const CommandRule> rules, int id, Place place, const CommandContext& c) {
  const CommandRule* r = RuleFor(rules, id, place);
  return !r || Meets(r->needs, c);
}

void CommandTable::Add(std::span<const CommandRule> rules, std::vector<Binding> handlers) {
  rules_.insert(rules_.end(), rules.begin(), rules.end());
  for (Binding& b : handlers) handlers_.push_back(std::move(b));
}

CommandContext CommandTable::State() const {
  CommandContext c;
  for (const auto& fill : states_) fill(c);
  return c;
}

std::vector<CheckMark> CommandTable::Checks() const {
  std::vector<CheckMark> marks;
  for (const auto& add : checks_) add(marks);
  return marks;
}

const CommandTable::Binding* CommandTable::Find(int id) const {
  for (const Binding& b : handlers_)
    if (id >= b.first && id <= b.last) return &b;
  return nullptr;
}

bool CommandTable::Enabled(int id, Place place, const CommandContext& c) const {
  return Handles(id) && RulesEnable(rules_, id, place, c);
}

bool CommandTable::Run(int id) const {
  const Binding* b = Find(id);
  if (!b) return false;
  b->run(id);
  return true;
}

}  // namespace griv
