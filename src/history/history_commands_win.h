// The capture history: every capture goes at once into History\ under the
// data folder, the state the user left a capture in is stored beside it when
// the picture is replaced or GRIV ends, and "Recent Captures..." shows them
// all to open one again. A GRIV that is killed has lost nothing it captured.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "base/date_time_name.h"
#include "history/history_writer.h"
#include "image/document_host_win.h"
#include "options/settings.h"
#include "ui/app_window_win.h"
#include "ui/commands.h"

namespace griv {

class HistoryCommands {
 public:
  HistoryCommands(AppWindow& app, DocumentHost& doc, const Settings& settings, const std::string& dataFolder);
  ~HistoryCommands();

  void AddTo(CommandTable& table);
  // Opens a picture as Open does (the window sets it).
  std::function<void(const std::string& file)> OpenFile;

  // At start-up: what a killed run left half-written goes, and the count is kept.
  void Start();
  // A capture has become the picture: it is written at once.
  void Captured();
  // Before any change of the picture: a changed picture's state is stored first.
  void BeforeChange();
  // A file has become the picture: it is no entry of the history.
  void Opened();
  // The undo brought back the picture from before the last change.
  void Undone();
  // The options were stored: the new count applies.
  void Applied();
  // At exit: the changed state is stored and every write has finished.
  void Exit();

  const std::string& Folder() const { return folder_; }
  // When the picture on show was captured, if it is an entry of the history.
  std::optional<LocalTime> EntryTime() const;

 private:
  bool Keeping() const { return settings_.KeepHistory && settings_.HistoryCount > 0; }
  // Whether the picture on show differs from what its entry holds, and the
  // picture to store for it (one place, for the day marks join the picture).
  bool PictureChanged() const;
  Picture PictureToStore() const;
  void StoreChangedState();
  HistoryWriter& Writer();
  void ShowRecentCaptures();

  AppWindow& app_;
  DocumentHost& doc_;
  const Settings& settings_;
  std::string folder_;
  int thumbW_, thumbH_;
  ThumbnailCache thumbnails_;
  std::unique_ptr<HistoryWriter> writer_;
  LocalTime lastTime_{};
  std::set<std::string> issued_;  // names given in the second of lastTime_ (their files may be on the way)
  // The entry of the picture on show (empty: none), and the revision of the
  // edit state whose picture is on disk for it.
  std::string entry_;
  using EditState = std::pair<uint64_t, uint64_t>;
  static constexpr EditState kNothingStored{~0ull, ~0ull};
  EditState stored_{};
  // The same for the picture in the undo record.
  std::string undoEntry_;
  bool undoChanged_ = false;
};

}  // namespace griv
