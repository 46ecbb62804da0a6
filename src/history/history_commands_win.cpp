#include "history/history_commands_win.h"

#include "base/file_io.h"
#include "history/history_names.h"
#include "history/recent_captures_win.h"
#include "ids_app.h"
#include "ui/gui_thread_win.h"
#include "ui/ui_win.h"

namespace griv {

HistoryCommands::HistoryCommands(AppWindow& app, DocumentHost& doc, const Settings& settings,
                                 const std::string& dataFolder)
    : app_(app),
      doc_(doc),
      settings_(settings),
      folder_(dataFolder + kHistoryFolderName + "\\"),
      thumbW_(Scale(kThumbWidth, app.Dpi())),
      thumbH_(Scale(kThumbHeight, app.Dpi())) {
  PrepareGuiThreadCalls();
}

HistoryCommands::~HistoryCommands() = default;

void HistoryCommands::AddTo(CommandTable& table) {
  table.Add(HistoryCommandRules(), {{CM_RECENTCAPTURES, CM_RECENTCAPTURES, [this](int) { ShowRecentCaptures(); }}});
}

HistoryWriter& HistoryCommands::Writer() {
  if (!writer_) {
    writer_ = std::make_unique<HistoryWriter>(folder_, thumbnails_, thumbW_, thumbH_);
    writer_->OnFailure = [this](const std::string& why) {
      CallOnGuiThread([this, why] {
        if (app_.Window()) app_.SetStatusText("The capture was not kept in Recent Captures: " + why);
      });
    };
  }
  return *writer_;
}

void HistoryCommands::Start() {
  if (DirectoryExists(folder_)) Writer().Prune(settings_.KeepHistory ? settings_.HistoryCount : kHistoryCountMax);
}

void HistoryCommands::Captured() {
  entry_.clear();
  if (!Keeping()) return;
  const ImageDocument& doc = doc_.Document();
  if (doc.FullImage().Empty()) return;
  // A second capture in the same second gets a number, as does one whose
  // name an earlier run has used (the clock was put back).
  const LocalTime now = NowLocal();
  if (now != lastTime_) issued_.clear();
  lastTime_ = now;
  entry_ = FirstFreeName(DateTimeName(now), kHistoryExt,
                         [&](const std::string& n) { return issued_.count(n) || FileExists(folder_ + n); });
  issued_.insert(entry_);
  stored_ = doc.EditState();
  Writer().Write(entry_, doc.FullImage(), settings_.HistoryCount);
}

std::optional<LocalTime> HistoryCommands::EntryTime() const {
  if (entry_.empty()) return std::nullopt;
  const auto f = ParseHistoryName(entry_);
  return f ? std::optional<LocalTime>(f->time) : std::nullopt;
}

bool HistoryCommands::PictureChanged() const {
  const ImageDocument& doc = doc_.Document();
  return !entry_.empty() && doc.Changed() && doc.EditState() != stored_ && !doc.FullImage().Empty();
}

Picture HistoryCommands::PictureToStore() const { return doc_.Document().OutputPicture(); }

void HistoryCommands::StoreChangedState() {
  if (!PictureChanged() || !Keeping()) return;
  stored_ = doc_.Document().EditState();
  Writer().Write(EditedNameOf(entry_), PictureToStore(), settings_.HistoryCount);
}

void HistoryCommands::BeforeChange() {
  StoreChangedState();
  undoEntry_ = entry_;
  undoChanged_ = PictureChanged();
}

void HistoryCommands::Opened() { entry_.clear(); }

void HistoryCommands::Undone() {
  entry_ = undoEntry_;
  // What the record brought back is on disk unless it held unstored changes.
  stored_ = undoChanged_ ? kNothingStored : doc_.Document().EditState();
}

void HistoryCommands::Applied() {
  if (writer_ || DirectoryExists(folder_)) Writer().Prune(settings_.KeepHistory ? settings_.HistoryCount : kHistoryCountMax);
}

void HistoryCommands::Exit() {
  StoreChangedState();
  if (writer_) writer_->Drain();
}

void HistoryCommands::ShowRecentCaptures() {
  // What was captured a moment ago is listed too.
  if (writer_) writer_->Drain();
  std::string note;
  if (!settings_.KeepHistory || settings_.HistoryCount == 0)
    note = "Captures are not being kept: Option Settings, Save Options, \"Keep recent captures\".";
  TRecentCaptures window(folder_, thumbnails_, thumbW_, thumbH_, note);
  const std::string chosen = window.ShowModal(app_.Resources(), app_.Window());
  if (!chosen.empty() && app_.Window() && OpenFile) OpenFile(chosen);
}

}  // namespace griv
