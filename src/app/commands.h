// The commands of the main window as data: for every command and every place
// it appears in (main menu, tray menu, image pop-up menu, tool bar), the state
// of the document and the machine it needs to be enabled, and the check marks
// that follow the settings and the zoom. The window layer applies the result
// to all places in one pass and never reads a state back from a menu.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace griv {

// Where a command appears.
enum Place : uint8_t {
  kMainMenu = 1,
  kTrayMenu = 2,
  kImageMenu = 4,
  kToolBar = 8,
};
inline constexpr uint8_t kAllPlaces = kMainMenu | kTrayMenu | kImageMenu | kToolBar;

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
};

struct CommandRule {
  int id;
  uint8_t places;
  uint32_t needs;
};

// The state the rules are evaluated against.
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
};

bool Meets(uint32_t needs, const CommandContext& c);

// The enabling table. A command may have several rows for different places.
std::span<const CommandRule> CommandRules();

// Whether the command is enabled at place. Commands without a row for that
// place are enabled; commands that are not built yet never are.
bool CommandEnabled(int id, Place place, const CommandContext& c);
bool CommandBuilt(int id);

// Check marks and radio marks.
struct CheckContext {
  bool autoPrint = false, autoSave = false, printNotes = false;
  int monitorIndex = 0;
  int zoomNumerator = 1, zoomDenominator = 1;  // the ratio on show
  bool captureScreen = true;                   // "Capture Screen" (else "Capture Area")
};
struct CheckMark {
  int id;
  bool checked;
};
std::vector<CheckMark> CommandChecks(const CheckContext& c);

// n:d of a ratio of the zoom menus (n or d is 1); 1:1 for anything else.
struct ZoomFraction {
  int numerator = 1, denominator = 1;
};
ZoomFraction ZoomFractionOf(double ratio);

// The largest ratio of the zoom menus at which a width x height picture fits
// a view of viewWidth x viewHeight (1:10 when even that does not fit).
ZoomFraction FitZoom(int width, int height, int viewWidth, int viewHeight);
// The next ratio of the zoom menus up (steps > 0) or down from the one on
// show, stopping at 10:1 and 1:10.
ZoomFraction StepZoom(double ratio, int steps);

}  // namespace griv
