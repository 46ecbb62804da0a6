#include <gtest/gtest.h>

#include "shell/tray_model.h"

namespace griv {
namespace {

TEST(TrayTip, CutsAtSixtyThreeUnitsWithoutSplittingCharacters) {
  std::string longAscii(80, 'x');
  EXPECT_EQ(TruncateTip(longAscii), std::string(63, 'x'));
  EXPECT_EQ(TruncateTip(std::string(63, 'y')), std::string(63, 'y'));
  EXPECT_EQ(TruncateTip(""), "");
  // "é" is one unit in two bytes: 63 of them fit, 126 bytes.
  std::string accents;
  for (int i = 0; i < 70; ++i) accents += "\xC3\xA9";
  EXPECT_EQ(TruncateTip(accents).size(), 126u);
  // A character outside the BMP takes two units and is never halved.
  std::string tail = std::string(62, 'a') + "\xF0\x9F\x98\x80";
  EXPECT_EQ(TruncateTip(tail), std::string(62, 'a'));
  EXPECT_EQ(TruncateTip(std::string(61, 'a') + "\xF0\x9F\x98\x80"), std::string(61, 'a') + "\xF0\x9F\x98\x80");
  // Broken bytes count one each and do not swallow what follows.
  EXPECT_EQ(TruncateTip("\xE2\x82" "abc", 3), "\xE2\x82" "a");
}

TEST(TrayMouse, LeftDoubleClickGivesOneClick) {
  using K = TrayEventKind;
  using B = TrayButton;
  TrayMouseTracker t;
  std::vector<TrayEvent> all;
  for (unsigned m : {kTrayLButtonDown, kTrayLButtonUp, kTrayLButtonDblClk, kTrayLButtonUp}) {
    auto e = t.Translate(m);
    all.insert(all.end(), e.begin(), e.end());
  }
  std::vector<TrayEvent> want = {{K::MouseDown, B::Left},        {K::Click},
                                 {K::MouseUp, B::Left},          {K::DblClick},
                                 {K::MouseDown, B::Left, true},  {K::MouseUp, B::Left}};
  EXPECT_EQ(all, want);
  // The next plain click counts again.
  t.Translate(kTrayLButtonDown);
  auto up = t.Translate(kTrayLButtonUp);
  ASSERT_FALSE(up.empty());
  EXPECT_EQ(up[0].kind, K::Click);
}

TEST(TrayMouse, OtherButtons) {
  using K = TrayEventKind;
  using B = TrayButton;
  TrayMouseTracker t;
  EXPECT_EQ(t.Translate(kTrayRButtonDown),
            (std::vector<TrayEvent>{{K::MouseDown, B::Right}, {K::Popup, B::Right}}));
  EXPECT_EQ(t.Translate(kTrayRButtonDblClk), (std::vector<TrayEvent>{{K::MouseDown, B::Right, true}}));
  EXPECT_EQ(t.Translate(kTrayMButtonUp), (std::vector<TrayEvent>{{K::MouseUp, B::Middle}}));
  EXPECT_EQ(t.Translate(kTrayMouseMove), (std::vector<TrayEvent>{{K::MouseMove}}));
  EXPECT_TRUE(t.Translate(0x0400).empty());
  // A right double-click does not hold back the next left click.
  t.Translate(kTrayLButtonDown);
  EXPECT_EQ(t.Translate(kTrayLButtonUp)[0].kind, K::Click);
}

// ---- animation ----

TAnimatedIcon Frame(int32_t time, std::vector<uint8_t> bytes = {1, 2, 3}) { return {time, std::move(bytes)}; }

TEST(TrayAnimation, RepeatCountThreeRunsThreeCyclesThenStops) {
  TimerPoolList pool;
  std::vector<bool> runs;
  pool.OnRunChanged = [&](bool r) { runs.push_back(r); };
  TAnimatedIcons a(&pool);
  a.Frames() = {Frame(5), Frame(2)};  // 50 ms and 20 ms
  std::vector<int> shown;
  int stopped = 0;
  a.OnNewFrame = [&](int f) { shown.push_back(f); };
  a.OnStopped = [&] { ++stopped; };

  a.Play(3);
  EXPECT_TRUE(a.Playing());
  EXPECT_EQ(runs, std::vector<bool>{true});
  for (int i = 0; i < 200 && a.Playing(); ++i) pool.Tick(5);
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 0, 1, 0, 1}));
  EXPECT_EQ(stopped, 1);
  EXPECT_FALSE(a.Playing());
  EXPECT_EQ(runs, (std::vector<bool>{true, false}));
  // A stopped animation gets no more ticks.
  uint32_t ticks = pool.TickCount(&a);
  pool.Tick(1000);
  EXPECT_EQ(pool.TickCount(&a), ticks);
}

TEST(TrayAnimation, FrameTimeIsAccumulatedTime) {
  TAnimatedIcons a;  // fed by hand
  a.Frames() = {Frame(3), Frame(1)};
  std::vector<int> shown;
  a.OnNewFrame = [&](int f) { shown.push_back(f); };
  a.Play(0);
  a.TimerTick(29, 1);
  EXPECT_TRUE(shown.empty());
  a.TimerTick(1, 2);  // 30 ms reached
  EXPECT_EQ(shown, std::vector<int>{0});
  a.TimerTick(9, 3);
  EXPECT_EQ(shown.size(), 1u);
  a.TimerTick(65535, 4);
  a.TimerTick(30, 5);
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 0}));  // endless with 0 cycles
  EXPECT_TRUE(a.Playing());
}

TEST(TrayAnimation, PlayNeedsHandlerAndFrames) {
  TimerPoolList pool;
  TAnimatedIcons a(&pool);
  a.Frames() = {Frame(1)};
  a.Play(1);
  EXPECT_FALSE(a.Playing());  // no handler
  a.OnNewFrame = [](int) {};
  a.Frames().clear();
  a.Play(1);
  EXPECT_FALSE(a.Playing());
  EXPECT_FALSE(pool.AnyEnabled());
  // A handler that empties the frames does not leave the index dangling.
  a.Frames() = {Frame(0), Frame(0)};
  a.OnNewFrame = [&](int) { a.Frames().clear(); };
  a.Play(0);
  pool.Tick(5);
  pool.Tick(5);
  EXPECT_EQ(a.CurrentFrame(), 0);
}

struct SelfRemover : TimerTickTarget {
  SelfRemover(TimerPoolList* p, std::vector<int>* l, int i) : pool(p), log(l), id(i) {}
  TimerPoolList* pool;
  std::vector<int>* log;
  int id;
  void TimerTick(uint16_t, uint32_t) override {
    log->push_back(id);
    pool->Unregister(this);
  }
};

TEST(TrayAnimation, PoolSurvivesRemovalDuringTick) {
  TimerPoolList pool;
  std::vector<int> log;
  SelfRemover a(&pool, &log, 1), b(&pool, &log, 2), c(&pool, &log, 3);
  pool.Register(&a, true);
  pool.Register(&b, true);
  pool.Register(&c, true);
  pool.Tick(5);
  EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(pool.Contains(&b));
  EXPECT_FALSE(pool.AnyEnabled());
  {
    TAnimatedIcons gone(&pool);
    EXPECT_TRUE(pool.Contains(&gone));
  }
  EXPECT_FALSE(pool.Contains(nullptr));
}

TEST(TrayIconsStream, RoundTrip) {
  TAnimatedIcons a(nullptr, true);
  a.Title = "Spin";
  a.Author = "GRIV";
  a.Frames() = {Frame(7, {9, 8, 7, 6}), Frame(-3, {}), Frame(12, std::vector<uint8_t>(300, 0xAB))};
  auto bytes = a.WriteStream();
  // Layout: lengths and counts little-endian.
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_EQ(bytes[0], 4);
  EXPECT_EQ(bytes[1], 0);
  EXPECT_EQ(bytes[4], 'S');
  EXPECT_EQ(bytes[16], 1);  // large-icons flag after "Spin" and "GRIV"
  EXPECT_EQ(bytes[17], 3);

  TAnimatedIcons b;
  b.Frames() = {Frame(1)};
  b.ReadStream(bytes.data(), bytes.size());
  EXPECT_EQ(b.Title, "Spin");
  EXPECT_EQ(b.Author, "GRIV");
  EXPECT_TRUE(b.LargeIcons());
  EXPECT_EQ(b.IconSize(), 32);
  EXPECT_EQ(b.Frames(), a.Frames());

  TAnimatedIcons empty;
  EXPECT_FALSE(empty.ShouldStore());
  auto e = empty.WriteStream();
  b.ReadStream(e.data(), e.size());
  EXPECT_EQ(b.Count(), 0);

  // A negative frame size reads as an empty icon.
  std::vector<uint8_t> neg = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  b.ReadStream(neg.data(), neg.size());
  ASSERT_EQ(b.Count(), 1);
  EXPECT_EQ(b.Frames()[0].displayTime, 5);
  EXPECT_TRUE(b.Frames()[0].iconData.empty());
}

TEST(TrayIconsStream, DamagedStreamsThrowAndChangeNothing) {
  TAnimatedIcons a;
  a.Title = "T";
  a.Frames() = {Frame(1, {1, 2, 3, 4, 5}), Frame(2, {6, 7})};
  auto good = a.WriteStream();

  TAnimatedIcons b;
  b.Title = "keep";
  b.Frames() = {Frame(42)};
  // Every truncation of a good stream is refused.
  for (size_t n = 0; n < good.size(); ++n)
    EXPECT_THROW(b.ReadStream(good.data(), n), EIconsStream) << n;
  auto withTail = good;
  withTail.push_back(0);
  EXPECT_THROW(b.ReadStream(withTail.data(), withTail.size()), EIconsStream);

  auto hostile = [&](std::vector<uint8_t> s) { EXPECT_THROW(b.ReadStream(s.data(), s.size()), EIconsStream); };
  hostile({0xFF, 0xFF, 0xFF, 0x7F});                           // huge title
  hostile({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});               // negative title length
  hostile({0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F}); // frame count beyond the data
  hostile({0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}); // negative frame count
  hostile({0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F});  // icon beyond the data
  EXPECT_EQ(b.Title, "keep");
  ASSERT_EQ(b.Count(), 1);
  EXPECT_EQ(b.Frames()[0].displayTime, 42);
}

TEST(TrayIconFile, PicksClosestSizeAndRejectsBadDirectories) {
  // Directory with a 32x32 and a 16x16 image, then their bytes.
  std::vector<uint8_t> ico = {0, 0, 1, 0, 2, 0};
  auto entry = [&](uint8_t w, uint16_t bpp, uint32_t size, uint32_t off) {
    std::vector<uint8_t> e = {w, w, 0, 0, 1, 0, static_cast<uint8_t>(bpp), 0};
    for (uint32_t v : {size, off})
      for (int i = 0; i < 4; ++i) e.push_back(static_cast<uint8_t>(v >> (8 * i)));
    ico.insert(ico.end(), e.begin(), e.end());
  };
  entry(32, 32, 10, 38);
  entry(16, 32, 6, 48);
  ico.resize(54, 0xEE);
  auto r = PickIconImage(ico.data(), ico.size(), 16);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->offset, 48u);
  EXPECT_EQ(r->size, 6u);
  EXPECT_EQ(PickIconImage(ico.data(), ico.size(), 32)->offset, 38u);
  EXPECT_FALSE(PickIconImage(ico.data(), 40, 16));  // both images run past the end
  EXPECT_FALSE(PickIconImage(ico.data(), 20, 16));  // directory cut short
  auto bad = ico;
  bad[2] = 2;  // a cursor file
  EXPECT_FALSE(PickIconImage(bad.data(), bad.size(), 16));
  bad = ico;
  bad[6 + 12] = 0xFF, bad[6 + 15] = 0xFF;  // first image points far away
  bad[22 + 12] = 0xFF, bad[22 + 15] = 0xFF;
  EXPECT_FALSE(PickIconImage(bad.data(), bad.size(), 16));
  EXPECT_FALSE(PickIconImage(nullptr, 0, 16));
}

}  // namespace
}  // namespace griv
