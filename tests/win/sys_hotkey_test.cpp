#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "hotkeys/hotkey_text.h"
#include "win_test_util.h"
#include "hotkeys/sys_hotkey_win.h"

using namespace griv;
using griv::test::PumpUntil;

namespace {

// Counts what reaches the system while passing it on to the real registrar.
struct CountingRegistrar : HotKeyRegistrar {
  explicit CountingRegistrar(HotKeyRegistrar& real) : real(real) {}
  HotKeyRegistrar& real;
  std::vector<int> registered, unregistered;
  bool Register(int id, unsigned mods, unsigned vk) override {
    registered.push_back(id);
    return real.Register(id, mods, vk);
  }
  void Unregister(int id) override {
    unregistered.push_back(id);
    real.Unregister(id);
  }
};

// Combinations nobody else is likely to hold: Ctrl+Alt+Shift with F21..F24.
constexpr THotKeyModifiers kMods = hmCtrl | hmAlt | hmShift;
THotKeyCode F(int n) { return KeyIndexToHotKeyCode(68 + n); }  // F1 is name index 69

// Whether the system would let someone else have the combination now.
bool IsFree(THotKeyCode key) {
  if (!RegisterHotKey(nullptr, 0x7000, ModifiersToWin(kMods), HotKeyCodeToVirtualKey(key))) return false;
  UnregisterHotKey(nullptr, 0x7000);
  return true;
}

}  // namespace

TEST(SysHotKeyWin, RegistersWithTheSystemAndWithdraws) {
  auto hk = std::make_unique<TSysHotKey>();
  CountingRegistrar counter(hk->SystemRegistrar());
  hk->SetRegistrar(&counter);
  hk->SetActive(true);
  EXPECT_EQ(hk->AddHotKey(F(21), kMods).Registered, 1);
  EXPECT_EQ(hk->AddHotKey(F(22), kMods).Registered, 1);
  EXPECT_FALSE(IsFree(F(21)));

  // A second holder is refused, silently.
  TSysHotKey other;
  other.SetActive(true);
  EXPECT_EQ(other.AddHotKey(F(21), kMods).Registered, 0);

  hk->SetActive(false);
  EXPECT_EQ(counter.unregistered, (std::vector<int>{0, 1}));
  EXPECT_TRUE(IsFree(F(22)));
  hk->SetActive(false);
  EXPECT_EQ(counter.unregistered.size(), 2u);

  // The refused key is picked up on the next activation once it is free.
  other.SetActive(false);
  other.SetActive(true);
  EXPECT_EQ(other.Item(0).Registered, 1);
  other.ClearHotKeys();

  hk->SetActive(true);
  EXPECT_EQ(counter.registered, (std::vector<int>{0, 1, 0, 1}));
  // Destruction withdraws everything before the window goes.
  hk->SetRegistrar(nullptr);
  hk.reset();
  EXPECT_TRUE(IsFree(F(21)));
  EXPECT_TRUE(IsFree(F(22)));
}

TEST(SysHotKeyWin, HotKeyMessageRaisesOnHotKeyWithIndex) {
  TSysHotKey hk;
  hk.SetActive(true);
  for (int i = 21; i <= 23; ++i) hk.AddHotKey(F(i), kMods);
  std::vector<int> got;
  TSysHotKey* sender = nullptr;
  hk.OnHotKey = [&](TSysHotKey& s, int index) {
    sender = &s;
    got.push_back(index);
  };
  PostMessageW(hk.Handle(), WM_HOTKEY, 2, MAKELPARAM(ModifiersToWin(kMods), HotKeyCodeToVirtualKey(F(23))));
  PostMessageW(hk.Handle(), WM_HOTKEY, 0x10007, 0);  // unknown id: passed on as its low word
  ASSERT_TRUE(PumpUntil([&] { return got.size() == 2; }));
  EXPECT_EQ(got, (std::vector<int>{2, 7}));
  EXPECT_EQ(sender, &hk);
}

TEST(SysHotKeyWin, WindowDestroyedUnderneathGoesInactive) {
  TSysHotKey hk;
  CountingRegistrar counter(hk.SystemRegistrar());
  hk.SetRegistrar(&counter);
  hk.SetActive(true);
  hk.AddHotKey(F(24), kMods);
  DestroyWindow(hk.Handle());
  EXPECT_FALSE(hk.Active());
  EXPECT_EQ(counter.unregistered, std::vector<int>{0});
  EXPECT_TRUE(IsFree(F(24)));
  EXPECT_FALSE(hk.HandleAllocated());
  // Switching on again brings a new window and a new registration.
  hk.SetActive(true);
  EXPECT_EQ(hk.Item(0).Registered, 1);
  EXPECT_TRUE(hk.HandleAllocated());
}
