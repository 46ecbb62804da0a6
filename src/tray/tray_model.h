// Platform-free parts of the tray icon: the tooltip limit, the mouse-message
// table, animation frames with their stream form, and the animation clock.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace griv {

// ---- tooltip ----

constexpr size_t kMaxTipUnits = 127;  // the shell's long tip field: 127 UTF-16 units and a zero
// Longest start of text that is at most maxUnits UTF-16 units, never cutting a
// character in two. A byte that does not start a valid UTF-8 sequence counts as one unit.
std::string TruncateTip(std::string_view text, size_t maxUnits = kMaxTipUnits);
// head followed by a note naming keys (" - in use by another program: A; B"),
// cut so that every key name it shows is whole: names that do not fit are
// left out and an ellipsis says so; the note goes when not even one fits.
std::string FitTrayTip(std::string_view head, std::string_view note, size_t maxUnits = kMaxTipUnits);

// ---- mouse messages on the icon ----

// Mouse message numbers the shell reports in the callback's second parameter.
constexpr unsigned kTrayMouseMove = 0x0200;
constexpr unsigned kTrayLButtonDown = 0x0201;
constexpr unsigned kTrayLButtonUp = 0x0202;
constexpr unsigned kTrayLButtonDblClk = 0x0203;
constexpr unsigned kTrayRButtonDown = 0x0204;
constexpr unsigned kTrayRButtonUp = 0x0205;
constexpr unsigned kTrayRButtonDblClk = 0x0206;
constexpr unsigned kTrayMButtonDown = 0x0207;
constexpr unsigned kTrayMButtonUp = 0x0208;
constexpr unsigned kTrayMButtonDblClk = 0x0209;

enum class TrayButton : uint8_t { Left, Right, Middle };
enum class TrayEventKind : uint8_t { MouseMove, MouseDown, MouseUp, Click, DblClick, Popup };

struct TrayEvent {
  TrayEventKind kind;
  TrayButton button = TrayButton::Left;
  bool isDouble = false;  // a mouse-down that was a double-click
  bool operator==(const TrayEvent&) const = default;
};

// Turns each mouse message into the component's events, in the order they are
// raised. A left double-click is followed by a left button-up that must not
// count as a second click.
class TrayMouseTracker {
 public:
  std::vector<TrayEvent> Translate(unsigned mouseMessage);

 private:
  bool doubleClickPending_ = false;
};

// Shift state passed with mouse events.
using TShiftState = uint8_t;
enum : TShiftState { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssDouble = 8 };

// ---- animation clock ----

class TimerTickTarget {
 public:
  virtual ~TimerTickTarget() = default;
  virtual void TimerTick(uint16_t elapsedMs, uint32_t tickCount) = 0;
};

// The process-wide list of animated objects. Whoever owns it runs a clock
// while AnyEnabled() and calls Tick on the GUI thread; OnRunChanged says when
// that clock must start (true) or stop (false).
class TimerPoolList {
 public:
  void Register(TimerTickTarget* target, bool enabled);  // adds or updates
  void Unregister(TimerTickTarget* target);
  // For each enabled entry in list order: count a tick and hand it the elapsed time.
  // Entries may register and unregister (themselves or others) from inside.
  void Tick(uint32_t elapsedMs);
  bool AnyEnabled() const;
  bool Contains(const TimerTickTarget* target) const;
  uint32_t TickCount(const TimerTickTarget* target) const;

  std::function<void(bool run)> OnRunChanged;

 private:
  struct Entry {
    TimerTickTarget* target;
    bool enabled;
    uint32_t ticks;
  };
  void NotifyIfChanged(bool wasRunning);
  std::vector<Entry> entries_;
  ptrdiff_t tickPos_ = -1;  // entry being ticked, so removals during a tick keep the walk right
};

// ---- animation frames ----

struct TAnimatedIcon {
  int32_t displayTime = 0;          // in 10 ms units
  std::vector<uint8_t> iconData;    // an icon file; empty for an empty icon
  bool operator==(const TAnimatedIcon&) const = default;
};

class EIconsStream : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TAnimatedIcons : public TimerTickTarget {
 public:
  // pool may be null (nothing plays then, ticks can still be fed by hand).
  explicit TAnimatedIcons(TimerPoolList* pool = nullptr, bool largeIcons = false);
  ~TAnimatedIcons() override;
  TAnimatedIcons(const TAnimatedIcons&) = delete;
  TAnimatedIcons& operator=(const TAnimatedIcons&) = delete;

  // Copies Author, Title, the large-icons flag and every frame.
  void Assign(const TAnimatedIcons& other);

  std::string Author;
  std::string Title;
  int IconSize() const { return largeIcons_ ? 32 : 16; }

  std::vector<TAnimatedIcon>& Frames() { return frames_; }
  const std::vector<TAnimatedIcon>& Frames() const { return frames_; }
  int Count() const { return static_cast<int>(frames_.size()); }

  bool Playing() const { return playing_; }
  int CurrentFrame() const { return frame_; }
  // cycles 0 plays until Stop. Needs OnNewFrame and at least one frame.
  void Play(int cycles);
  void Stop();

  std::function<void(int frame)> OnNewFrame;
  std::function<void()> OnStopped;

  void TimerTick(uint16_t elapsedMs, uint32_t tickCount) override;

  // Stream form: written only when there are frames.
  std::vector<uint8_t> WriteStream() const;
  // Replaces title, author, flag and all frames. A damaged stream throws
  // EIconsStream and leaves the object as it was.
  void ReadStream(const uint8_t* data, size_t size);

 private:
  TimerPoolList* pool_;
  std::vector<TAnimatedIcon> frames_;
  bool largeIcons_;
  bool playing_ = false;
  int frame_ = 0;
  int64_t accumulatedMs_ = 0;
  int cyclesRequested_ = 0;
  int cyclesDone_ = 0;
};

// ---- icon files ----

// Byte range of the image in an icon file whose width is closest to wantSize
// (ties: the higher colour depth). Empty when the data is not a sound icon file.
struct IconImageRange {
  size_t offset;
  size_t size;
};
std::optional<IconImageRange> PickIconImage(const uint8_t* data, size_t size, int wantSize);

}  // namespace griv
