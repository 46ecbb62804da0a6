#include "tray/tray_model.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace griv {

// ---- tooltip ----

namespace {

// Length in bytes of the valid UTF-8 sequence at s[i], or 0 when it is not one.
size_t Utf8SequenceLength(std::string_view s, size_t i, uint32_t* codePoint) {
  auto b = static_cast<unsigned char>(s[i]);
  size_t len;
  uint32_t cp;
  if (b < 0x80) {
    *codePoint = b;
    return 1;
  } else if (b >= 0xC2 && b <= 0xDF) {
    len = 2, cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3, cp = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4, cp = b & 0x07;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not characters.
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  *codePoint = cp;
  return len;
}

}  // namespace

std::string TruncateTip(std::string_view text, size_t maxUnits) {
  size_t units = 0, i = 0;
  while (i < text.size()) {
    uint32_t cp = 0;
    size_t len = Utf8SequenceLength(text, i, &cp);
    size_t need = 1;
    if (len == 0)
      len = 1;
    else if (cp >= 0x10000)
      need = 2;
    if (units + need > maxUnits) break;
    units += need;
    i += len;
  }
  return std::string(text.substr(0, i));
}

std::string FitTrayTip(std::string_view head, std::string_view note, size_t maxUnits) {
  const auto fits = [&](const std::string& t) { return TruncateTip(t, maxUnits).size() == t.size(); };
  std::string tip = std::string(head) + std::string(note);
  if (fits(tip)) return tip;
  for (size_t cut = note.rfind("; "); cut != std::string_view::npos && cut > 0; cut = note.rfind("; ", cut - 1)) {
    tip = std::string(head) + std::string(note.substr(0, cut)) + "\xE2\x80\xA6";  // …
    if (fits(tip)) return tip;
  }
  return TruncateTip(head, maxUnits);
}

// ---- mouse messages ----

std::vector<TrayEvent> TrayMouseTracker::Translate(unsigned mouseMessage) {
  using K = TrayEventKind;
  using B = TrayButton;
  switch (mouseMessage) {
    case kTrayMouseMove:
      return {{K::MouseMove}};
    case kTrayLButtonDown:
      doubleClickPending_ = false;
      return {{K::MouseDown, B::Left}};
    case kTrayLButtonUp:
      if (doubleClickPending_) return {{K::MouseUp, B::Left}};
      return {{K::Click}, {K::MouseUp, B::Left}};
    case kTrayLButtonDblClk:
      doubleClickPending_ = true;
      return {{K::DblClick}, {K::MouseDown, B::Left, true}};
    case kTrayRButtonDown:
      return {{K::MouseDown, B::Right}, {K::Popup, B::Right}};
    case kTrayRButtonUp:
      return {{K::MouseUp, B::Right}};
    case kTrayRButtonDblClk:
      return {{K::MouseDown, B::Right, true}};
    case kTrayMButtonDown:
      return {{K::MouseDown, B::Middle}};
    case kTrayMButtonUp:
      return {{K::MouseUp, B::Middle}};
    case kTrayMButtonDblClk:
      return {{K::MouseDown, B::Middle, true}};
    default:
      return {};
  }
}

// ---- timer pool ----

bool TimerPoolList::AnyEnabled() const {
  return std::any_of(entries_.begin(), entries_.end(), [](const Entry& e) { return e.enabled; });
}

bool TimerPoolList::Contains(const TimerTickTarget* target) const {
  return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.target == target; });
}

uint32_t TimerPoolList::TickCount(const TimerTickTarget* target) const {
  for (const auto& e : entries_)
    if (e.target == target) return e.ticks;
  return 0;
}

void TimerPoolList::NotifyIfChanged(bool wasRunning) {
  bool running = AnyEnabled();
  if (running != wasRunning && OnRunChanged) OnRunChanged(running);
}

void TimerPoolList::Register(TimerTickTarget* target, bool enabled) {
  bool wasRunning = AnyEnabled();
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.target == target; });
  if (it != entries_.end())
    it->enabled = enabled;
  else
    entries_.push_back({target, enabled, 0});
  NotifyIfChanged(wasRunning);
}

void TimerPoolList::Unregister(TimerTickTarget* target) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.target == target; });
  if (it == entries_.end()) return;
  bool wasRunning = AnyEnabled();
  ptrdiff_t k = it - entries_.begin();
  entries_.erase(it);
  if (tickPos_ >= 0 && k <= tickPos_) --tickPos_;
  NotifyIfChanged(wasRunning);
}

void TimerPoolList::Tick(uint32_t elapsedMs) {
  if (tickPos_ >= 0) return;  // a tick is already being handed out
  for (tickPos_ = 0; tickPos_ < static_cast<ptrdiff_t>(entries_.size()); ++tickPos_) {
    Entry& e = entries_[static_cast<size_t>(tickPos_)];
    if (!e.enabled) continue;
    ++e.ticks;
    TimerTickTarget* target = e.target;
    uint32_t ticks = e.ticks;
    target->TimerTick(static_cast<uint16_t>(elapsedMs & 0xFFFF), ticks);
  }
  tickPos_ = -1;
}

// ---- animation ----

TAnimatedIcons::TAnimatedIcons(TimerPoolList* pool, bool largeIcons) : pool_(pool), largeIcons_(largeIcons) {
  if (pool_) pool_->Register(this, false);
}

TAnimatedIcons::~TAnimatedIcons() {
  if (pool_) pool_->Unregister(this);
}

void TAnimatedIcons::Assign(const TAnimatedIcons& other) {
  if (&other == this) return;
  Author = other.Author;
  Title = other.Title;
  largeIcons_ = other.largeIcons_;
  frames_ = other.frames_;
}

void TAnimatedIcons::Play(int cycles) {
  if (!OnNewFrame || frames_.empty()) return;
  frame_ = 0;
  accumulatedMs_ = 0;
  playing_ = true;
  cyclesRequested_ = cycles;
  cyclesDone_ = 0;
  if (pool_) pool_->Register(this, true);
}

void TAnimatedIcons::Stop() {
  if (pool_) pool_->Register(this, false);
  playing_ = false;
  if (OnStopped) OnStopped();
}

void TAnimatedIcons::TimerTick(uint16_t elapsedMs, uint32_t /*tickCount*/) {
  if (frame_ >= Count()) {
    frame_ = 0;
    if (frames_.empty()) return;
  }
  accumulatedMs_ += elapsedMs;
  if (accumulatedMs_ < static_cast<int64_t>(frames_[static_cast<size_t>(frame_)].displayTime) * 10) return;
  if (OnNewFrame) OnNewFrame(frame_);
  ++frame_;
  if (frame_ >= Count()) {  // also when the handler dropped frames
    frame_ = 0;
    if (cyclesRequested_ > 0 && ++cyclesDone_ >= cyclesRequested_) Stop();
  }
  accumulatedMs_ = 0;
}

// ---- stream form ----

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutBytes(std::vector<uint8_t>& out, const void* p, size_t n) {
  if (n > static_cast<size_t>(std::numeric_limits<int32_t>::max())) throw EIconsStream("Icons: part too large");
  PutU32(out, static_cast<uint32_t>(n));
  auto b = static_cast<const uint8_t*>(p);
  out.insert(out.end(), b, b + n);
}

class Reader {
 public:
  Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  size_t Remaining() const { return n_ - pos_; }
  int32_t I32() {
    Need(4);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(p_[pos_ + i]) << (8 * i);
    pos_ += 4;
    return static_cast<int32_t>(v);
  }
  uint8_t U8() {
    Need(1);
    return p_[pos_++];
  }
  const uint8_t* Bytes(size_t n) {
    Need(n);
    const uint8_t* r = p_ + pos_;
    pos_ += n;
    return r;
  }
  // A length field followed by that many bytes.
  std::string Text() {
    int32_t len = I32();
    if (len < 0) throw EIconsStream("Icons: negative text length");
    auto b = Bytes(static_cast<size_t>(len));
    return std::string(reinterpret_cast<const char*>(b), static_cast<size_t>(len));
  }

 private:
  void Need(size_t n) const {
    if (n > Remaining()) throw EIconsStream("Icons: stream ends early");
  }
  const uint8_t* p_;
  size_t n_;
  size_t pos_ = 0;
};

}  // namespace

std::vector<uint8_t> TAnimatedIcons::WriteStream() const {
  std::vector<uint8_t> out;
  PutBytes(out, Title.data(), Title.size());
  PutBytes(out, Author.data(), Author.size());
  out.push_back(largeIcons_ ? 1 : 0);
  PutU32(out, static_cast<uint32_t>(frames_.size()));
  for (const auto& f : frames_) {
    PutU32(out, static_cast<uint32_t>(f.displayTime));
    PutBytes(out, f.iconData.data(), f.iconData.size());
  }
  return out;
}

void TAnimatedIcons::ReadStream(const uint8_t* data, size_t size) {
  if (!data && size) throw EIconsStream("Icons: no data");
  Reader r(data, size);
  std::string title = r.Text();
  std::string author = r.Text();
  bool large = r.U8() != 0;
  int32_t count = r.I32();
  // Every frame takes at least its two 4-byte fields.
  if (count < 0 || static_cast<size_t>(count) > r.Remaining() / 8) throw EIconsStream("Icons: bad frame count");
  std::vector<TAnimatedIcon> frames(static_cast<size_t>(count));
  for (auto& f : frames) {
    f.displayTime = r.I32();
    int32_t s = r.I32();
    if (s > 0) {
      auto b = r.Bytes(static_cast<size_t>(s));
      f.iconData.assign(b, b + s);
    }
  }
  if (r.Remaining() != 0) throw EIconsStream("Icons: data after the last frame");
  Title = std::move(title);
  Author = std::move(author);
  largeIcons_ = large;
  frames_ = std::move(frames);
  frame_ = 0;
  accumulatedMs_ = 0;
}

// ---- icon files ----

std::optional<IconImageRange> PickIconImage(const uint8_t* data, size_t size, int wantSize) {
  auto u16 = [&](size_t at) { return static_cast<unsigned>(data[at] | (data[at + 1] << 8)); };
  auto u32 = [&](size_t at) {
    return static_cast<uint32_t>(data[at]) | (static_cast<uint32_t>(data[at + 1]) << 8) |
           (static_cast<uint32_t>(data[at + 2]) << 16) | (static_cast<uint32_t>(data[at + 3]) << 24);
  };
  if (!data || size < 6 || u16(0) != 0 || u16(2) != 1) return std::nullopt;
  size_t count = u16(4);
  if (count == 0 || (size - 6) / 16 < count) return std::nullopt;
  std::optional<IconImageRange> best;
  int bestDistance = 0;
  unsigned bestDepth = 0;
  for (size_t i = 0; i < count; ++i) {
    size_t e = 6 + 16 * i;
    int width = data[e] == 0 ? 256 : data[e];
    unsigned depth = u16(e + 6);
    uint32_t bytes = u32(e + 8), offset = u32(e + 12);
    if (bytes == 0 || offset > size || bytes > size - offset) continue;
    int distance = std::abs(width - wantSize);
    if (!best || distance < bestDistance || (distance == bestDistance && depth > bestDepth)) {
      best = IconImageRange{offset, bytes};
      bestDistance = distance;
      bestDepth = depth;
    }
  }
  return best;
}

}  // namespace griv
