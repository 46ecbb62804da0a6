// The program's commands as data. Each feature lists its commands in a table
// of its own: for every place a command appears in (main menu, tray menu,
// image pop-up menu, tool bar) what it needs to be enabled, and beside it
// the handlers that run it. The main window gathers the tables into one
// CommandTable at start-up, applies the result to all places in one pass and
// never reads a state back from a menu.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace griv {

// Where a command appears. A row with no place is a hidden item: it has a
// handler and a check mark, but no menu item or button shows it.
enum Place : uint8_t {
  kHidden = 0,
  kMainMenu = 1,
  kTrayMenu = 2,
  kImageMenu = 4,
  kToolBar = 8,
};

// What a command needs.
enum Need : uint32_t {
  kAlways = 0,
  kImage = 1u << 0,             // an image is on show
  kPrintable = 1u << 1,         // an image with pixels, and a printer that can be set up
  kPrinter = 1u << 2,           // a printer that can be set up
  kUndo = 1u << 3,              // the undo record can be used
  kEditorConfigured = 1u << 4,  // an image editor is named in the settings
  kClipboardBitmap = 1u << 5,   // the clipboard offers a bitmap
  kOneToOne = 1u << 6,          // the view is at 1:1
  kSaveWritten = 1u << 7,       // "&Save" has written a file since start-up
  kMail = 1u << 8,              // mail is possible (not found missing)
  kEditorExists = 1u << 9,      // the image editor's file exists
  kDelayedCapture = 1u << 10,   // a delayed capture is counting down
};

// The state the rules are evaluated against; each feature fills in its part.
struct CommandContext {
  bool image = false;
  bool fullImageHasPixels = false;
  bool printer = false;
  bool undo = false;
  bool editorConfigured = false;
  bool editorExists = true;  // false once the named editor was found missing
  bool clipboardBitmap = false;
  bool oneToOne = true;
  bool saveWritten = false;
  bool mail = true;
  bool delayedCapture = false;
};

bool Meets(uint32_t needs, const CommandContext& c);

// Commands first..last, at places, need needs. A command may have several
// rows for different places; every command of a feature has at least one.
struct CommandRule {
  int first, last;
  uint8_t places;
  uint32_t needs;
};

struct CheckMark {
  int id;
  bool checked;
};

class CommandTable {
 public:
  using Handler = std::function<void(int id)>;
  struct Binding {
    int first, last;
    Handler run;
  };

  // One feature's commands: its rows and the handlers that run them.
  void Add(std::span<const CommandRule> rules, std::vector<Binding> handlers);
  // The feature's part of the state the rules see, and its check marks.
  void AddState(std::function<void(CommandContext&)> fill) { states_.push_back(std::move(fill)); }
  void AddChecks(std::function<void(std::vector<CheckMark>&)> marks) { checks_.push_back(std::move(marks)); }

  CommandContext State() const;
  std::vector<CheckMark> Checks() const;
  // Enabled at place: the command has a handler, and its row for that place
  // (if any) is met. A command without a handler is not built yet: greyed
  // everywhere and inert.
  bool Enabled(int id, Place place, const CommandContext& c) const;
  bool Handles(int id) const { return Find(id) != nullptr; }
  // Runs the command's handler; false when no feature has one.
  bool Run(int id) const;
  std::span<const CommandRule> Rules() const { return rules_; }

 private:
  const Binding* Find(int id) const;

  std::vector<CommandRule> rules_;
  std::vector<Binding> handlers_;
  std::vector<std::function<void(CommandContext&)>> states_;
  std::vector<std::function<void(std::vector<CheckMark>&)>> checks_;
};

// Whether a rule table gives command id at place, and what it needs there:
// the first row for id that names place. Rows with no place give nothing.
const CommandRule* RuleFor(std::span<const CommandRule> rules, int id, Place place);
// Enabled by the rows alone (a command without a row at place is enabled there).
bool RulesEnable(std::span<const CommandRule> rules, int id, Place place, const CommandContext& c);

}  // namespace griv
