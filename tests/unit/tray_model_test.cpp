#include <gtest/gtest.h>

#include <tuple>

#include "tray/tray_model.h"

namespace griv {
namespace {

TEST(TrayTip, CutsAtSixtyThreeUnitsWithoutSplittingCharacters) {
  EXPECT_EQ(TruncateTip(std::string(80, 'x'), 63), std::string(63, 'x'));
  std::string accents;  // "é": one unit in two bytes
  for (int i = 0; i < 70; ++i) accents += "\xC3\xA9";
  EXPECT_EQ(TruncateTip(accents, 63).size(), 126u);
  // A character outside the BMP takes two units and is never halved.
  std::string emoji = "\xF0\x9F\x98\x80";
  EXPECT_EQ(TruncateTip(std::string(62, 'a') + emoji, 63), std::string(62, 'a'));
  EXPECT_EQ(TruncateTip(std::string(61, 'a') + emoji, 63), std::string(61, 'a') + emoji);
  // Broken bytes count one each and do not swallow what follows.
  EXPECT_EQ(TruncateTip("\xE2\x82" "abc", 3), "\xE2\x82" "a");
}

TEST(TrayTip, RefusedKeysAreNamedWholeOrLeftOut) {
  const std::string note = " - in use by another program: PrintScreen; Alt, PrintScreen; Win, PrintScreen";
  EXPECT_EQ(FitTrayTip("Grivanta   ", note), "Grivanta   " + note);  // the long tip holds it all
  const std::string head(60, 'h');
  EXPECT_EQ(FitTrayTip(head, note, 125), head + " - in use by another program: PrintScreen; Alt, PrintScreen\xE2\x80\xA6");
  EXPECT_EQ(FitTrayTip(head, note, 110), head + " - in use by another program: PrintScreen\xE2\x80\xA6");
  EXPECT_EQ(FitTrayTip(head, note, 100), head);  // not even one key: the note goes, never half a name
  EXPECT_EQ(FitTrayTip(std::string(200, 'h'), "").size(), kMaxTipUnits);
}

TEST(TrayMouse, LeftDoubleClickGivesOneClickAndRightOpensTheMenu) {
  using K = TrayEventKind;
  using B = TrayButton;
  TrayMouseTracker t;
  std::vector<TrayEvent> all;
  for (unsigned m : {kTrayLButtonDown, kTrayLButtonUp, kTrayLButtonDblClk, kTrayLButtonUp}) {
    auto e = t.Translate(m);
    all.insert(all.end(), e.begin(), e.end());
  }
  EXPECT_EQ(all, (std::vector<TrayEvent>{{K::MouseDown, B::Left},
                                         {K::Click},
                                         {K::MouseUp, B::Left},
                                         {K::DblClick},
                                         {K::MouseDown, B::Left, true},
                                         {K::MouseUp, B::Left}}));
  t.Translate(kTrayLButtonDown);
  EXPECT_EQ(t.Translate(kTrayLButtonUp)[0].kind, K::Click);  // the next click counts again
  EXPECT_EQ(t.Translate(kTrayRButtonDown),
            (std::vector<TrayEvent>{{K::MouseDown, B::Right}, {K::Popup, B::Right}}));
  EXPECT_EQ(t.Translate(kTrayMButtonDblClk), (std::vector<TrayEvent>{{K::MouseDown, B::Middle, true}}));
  EXPECT_TRUE(t.Translate(0x0400).empty());
}

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
  EXPECT_EQ(runs, std::vector<bool>{true});
  for (int i = 0; i < 200 && a.Playing(); ++i) pool.Tick(5);
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 0, 1, 0, 1}));
  EXPECT_EQ(stopped, 1);
  EXPECT_EQ(runs, (std::vector<bool>{true, false}));  // the clock may stop
  uint32_t ticks = pool.TickCount(&a);
  pool.Tick(1000);
  EXPECT_EQ(pool.TickCount(&a), ticks);
}

TEST(TrayAnimation, FrameTimeIsAccumulatedAndZeroCyclesIsEndless) {
  TAnimatedIcons a;
  a.Frames() = {Frame(3), Frame(1)};
  std::vector<int> shown;
  a.OnNewFrame = [&](int f) { shown.push_back(f); };
  a.Play(0);
  a.TimerTick(29, 1);
  EXPECT_TRUE(shown.empty());
  a.TimerTick(1, 2);  // 30 ms reached
  a.TimerTick(9, 3);
  a.TimerTick(65535, 4);
  a.TimerTick(30, 5);
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 0}));
  EXPECT_TRUE(a.Playing());
  // A handler that empties the frames does not leave the index dangling.
  a.OnNewFrame = [&](int) { a.Frames().clear(); };
  a.TimerTick(20, 6);
  a.TimerTick(20, 7);
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
  for (auto* t : {&a, &b, &c}) pool.Register(t, true);
  pool.Tick(5);
  EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(pool.AnyEnabled());
}

TEST(TrayIconsStream, RoundTrip) {
  TAnimatedIcons a(nullptr, true);
  a.Title = "Spin";
  a.Author = "GRIV";
  a.Frames() = {Frame(7, {9, 8, 7, 6}), Frame(-3, {}), Frame(12, std::vector<uint8_t>(300, 0xAB))};
  auto bytes = a.WriteStream();
  EXPECT_EQ(bytes[0], 4);   // little-endian title length
  EXPECT_EQ(bytes[16], 1);  // large-icons flag after "Spin" and "GRIV"
  EXPECT_EQ(bytes[17], 3);  // frame count

  TAnimatedIcons b;
  b.Frames() = {Frame(1)};
  b.ReadStream(bytes.data(), bytes.size());
  EXPECT_EQ(b.Title, "Spin");
  EXPECT_EQ(b.Author, "GRIV");
  EXPECT_EQ(b.IconSize(), 32);
  EXPECT_EQ(b.Frames(), a.Frames());

  // A negative frame size reads as an empty icon.
  std::vector<uint8_t> neg = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  b.ReadStream(neg.data(), neg.size());
  ASSERT_EQ(b.Count(), 1);
  EXPECT_TRUE(b.Frames()[0].iconData.empty());
}

TEST(TrayIconsStream, DamagedStreamsThrowAndChangeNothing) {
  TAnimatedIcons a;
  a.Frames() = {Frame(1, {1, 2, 3, 4, 5}), Frame(2, {6, 7})};
  auto good = a.WriteStream();
  TAnimatedIcons b;
  b.Title = "keep";
  for (size_t n = 0; n < good.size(); ++n) EXPECT_THROW(b.ReadStream(good.data(), n), EIconsStream) << n;
  good.push_back(0);
  EXPECT_THROW(b.ReadStream(good.data(), good.size()), EIconsStream);
  auto hostile = [&](std::vector<uint8_t> s) { EXPECT_THROW(b.ReadStream(s.data(), s.size()), EIconsStream); };
  hostile({0xFF, 0xFF, 0xFF, 0x7F});                           // huge title
  hostile({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});               // negative title length
  hostile({0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F}); // frame count beyond the data
  hostile({0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F});  // icon beyond the data
  EXPECT_EQ(b.Title, "keep");
}

TEST(TrayIconFile, PicksClosestSizeAndRejectsBadDirectories) {
  std::vector<uint8_t> ico = {0, 0, 1, 0, 2, 0};  // a 32x32 and a 16x16 image
  for (auto [w, size, off] : {std::tuple{32, 10, 38}, std::tuple{16, 6, 48}}) {
    std::vector<uint8_t> e = {uint8_t(w), uint8_t(w), 0, 0, 1, 0, 32, 0, uint8_t(size), 0, 0, 0, uint8_t(off), 0, 0, 0};
    ico.insert(ico.end(), e.begin(), e.end());
  }
  ico.resize(54, 0xEE);
  EXPECT_EQ(PickIconImage(ico.data(), ico.size(), 16)->offset, 48u);
  EXPECT_EQ(PickIconImage(ico.data(), ico.size(), 32)->offset, 38u);
  EXPECT_FALSE(PickIconImage(ico.data(), 40, 16));  // both images run past the end
  EXPECT_FALSE(PickIconImage(ico.data(), 20, 16));  // directory cut short
  ico[2] = 2;                                       // a cursor file
  EXPECT_FALSE(PickIconImage(ico.data(), ico.size(), 16));
}

}  // namespace
}  // namespace griv
