// The capture history's files: a picture per capture named by its date and
// time ("2026-12-07 19-30-12.png", "… (2).png" for a second one in the same
// second), and beside it the state the user left it in ("… edited.png").
// Which files make up which entry, their order, and which go when the
// history holds more than it may keep.
#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/date_time_name.h"
#include "ui/commands.h"

namespace griv {

inline constexpr char kHistoryFolderName[] = "History";
inline constexpr char kHistoryExt[] = ".png";

struct HistoryFile {
  std::string name;  // without the folder
  LocalTime time;
  int number = 1;  // 2, 3 ... for later captures of the same second
  bool edited = false;
};

// nullopt for any name the history did not make.
std::optional<HistoryFile> ParseHistoryName(const std::string& fileName);
// "X.png" -> "X edited.png"
std::string EditedNameOf(const std::string& captureName);

// Every picture of the history, newest first; an edited state comes just
// before the capture it was made from.
std::vector<HistoryFile> HistoryFiles(const std::vector<std::string>& fileNames);

// A capture and its edited state count as one entry. The files to delete so
// that at most keep entries stay: the oldest go first.
std::vector<std::string> FilesBeyond(const std::vector<HistoryFile>& newestFirst, int keep);

// What the Recent Captures window says under a picture: "2026-12-07 19:30:12",
// then " (2)" for a later capture of that second, " edited" for an edited state.
std::string HistoryLabel(const HistoryFile& f);

std::span<const CommandRule> HistoryCommandRules();

// Temporaries of writes that never finished (GRIV was ended meanwhile).
std::vector<std::string> UnfinishedWrites(const std::vector<std::string>& fileNames);

}  // namespace griv
