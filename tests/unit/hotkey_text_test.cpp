#include <gtest/gtest.h>

#include <algorithm>

#include "hotkeys/hotkey_text.h"
#include "hotkeys/sys_hotkey.h"

namespace griv {
namespace {

uint32_t VkOfIndex(int index) { return HotKeyCodeToVirtualKey(KeyIndexToHotKeyCode(index)); }
uint32_t VkOfText(std::string_view text) { return HotKeyCodeToVirtualKey(HotKeyTextToKey(text)); }

TEST(HotKeyTables, NamesMapToDistinctVirtualKeys) {
  const auto& names = KeyNames();
  EXPECT_EQ(names[9], "Home");
  EXPECT_EQ(VkOfIndex(9), 0x24u);  // the list has Home before End, key order has End first
  EXPECT_EQ(names[10], "End");
  EXPECT_EQ(VkOfIndex(10), 0x23u);
  EXPECT_EQ(VkOfIndex(15), 0x2Cu);  // PrintScreen
  EXPECT_EQ(VkOfIndex(18), 0x30u);  // "0"
  EXPECT_EQ(VkOfIndex(53), 0x5Au);  // "Z"
  EXPECT_EQ(names[66], "Num -");
  EXPECT_EQ(VkOfIndex(66), 0x6Du);  // past the unnamed Separator 0x6C
  EXPECT_EQ(names[80], "F12");
  EXPECT_EQ(VkOfIndex(92), 0x87u);  // F24
  EXPECT_EQ(VkOfIndex(95), 0x5Du);  // Application
  std::vector<uint32_t> seen;
  for (int i = 0; i < kKeyNameCount; ++i) {
    uint32_t vk = VkOfIndex(i);
    EXPECT_NE(vk, 0u) << names[i];
    EXPECT_EQ(std::count(seen.begin(), seen.end(), vk), 0) << names[i];
    seen.push_back(vk);
  }
  // Ordinals: 0x2A has none; outside both tables there is no key.
  EXPECT_EQ(HotKeyCodeToVirtualKey(18), 0x29u);
  EXPECT_EQ(HotKeyCodeToVirtualKey(19), 0x2Bu);
  EXPECT_EQ(HotKeyCodeToVirtualKey(103), 0u);
  EXPECT_EQ(KeyIndexToHotKeyCode(-1), 0);
  EXPECT_EQ(KeyIndexToHotKeyCode(96), 0);
  EXPECT_EQ(ModifiersToWin(hmShift), 4u);
  EXPECT_EQ(ModifiersToWin(hmCtrl | hmAlt | hmWin), 11u);
}

TEST(HotKeyText, ReadsStoredTexts) {
  EXPECT_EQ(HotKeyTextToModifiers("#15"), 0);
  EXPECT_EQ(VkOfText("#15"), 0x2Cu);
  EXPECT_EQ(ModifiersToWin(HotKeyTextToModifiers("Alt|#15")), kModAlt);
  EXPECT_EQ(ModifiersToWin(HotKeyTextToModifiers("Win|#15")), kModWin);
  EXPECT_EQ(HotKeyTextToModifiers("Win|Ctrl|#28"), hmCtrl | hmWin);  // order does not matter
  EXPECT_EQ(VkOfText("Win|Ctrl|#28"), 0x41u);
  EXPECT_EQ(HotKeyTextToModifiers("ctrl|alt|#1"), 0);  // case-sensitive
  EXPECT_EQ(HotKeyTextToIndex("#12#40"), 12);         // only the field after the first "#"
  // Damaged texts, read literally.
  EXPECT_EQ(VkOfText("Alt"), 0x08u);
  EXPECT_EQ(HotKeyTextToIndex("#abc"), 0);
  EXPECT_EQ(VkOfText("#96"), 0u);
  EXPECT_EQ(VkOfText("#-1"), 0u);
  EXPECT_EQ(HotKeyTextToDisplay("Shift|#200"), "Shift, (none)");
}

TEST(HotKeyText, ValidityGuardsAgainstBackspaceFallback) {
  for (const char* ok : {"#15", "Ctrl|Shift|#80", "#0", "#-1", "#200"}) EXPECT_TRUE(IsValidHotKeyText(ok)) << ok;
  for (const char* bad : {"", "Alt", "Alt|#", "#abc", "#x5", "#-", "#99999999999"})
    EXPECT_FALSE(IsValidHotKeyText(bad)) << bad;
  EXPECT_EQ(EffectiveHotKeyText(1, "garbage"), "Alt|#15");
  EXPECT_EQ(EffectiveHotKeyText(2, "#99999999999"), "Win|#15");
  EXPECT_EQ(EffectiveHotKeyText(2, "Ctrl|#28"), "Ctrl|#28");
}

TEST(HotKeyText, BuildsAndDisplays) {
  EXPECT_EQ(BuildHotKeyText(hmShift | hmCtrl, 80), "Ctrl|Shift|#80");
  EXPECT_EQ(BuildHotKeyText(hmWin | hmShift | hmAlt | hmCtrl, 0), "Ctrl|Alt|Shift|Win|#0");
  EXPECT_EQ(HotKeyTextToDisplay("#15"), "PrintScreen");
  EXPECT_EQ(HotKeyTextToDisplay("Alt|#15"), "Alt, PrintScreen");
  EXPECT_EQ(HotKeyTextToDisplay("Ctrl|Shift|#80"), "Ctrl, Shift, F12");
  // The editor: words come back in the fixed order, an unknown index as no selection.
  auto c = HotKeyChoice::FromText("Win|Ctrl|#28");
  EXPECT_EQ(c.keyIndex, 28);
  EXPECT_EQ(c.ToText(), "Ctrl|Win|#28");
  EXPECT_EQ(HotKeyChoice::FromText("Alt|#96").ToText(), "Alt|#-1");
  for (auto d : kDefaultHotKeyTexts) EXPECT_EQ(HotKeyChoice::FromText(d).ToText(), d);
  // The empty view names the keys in force: a damaged text has its default.
  EXPECT_EQ(CaptureKeysHint({"Ctrl|Shift|#80", "garbage", ""}),
            "Press Ctrl+Shift+F12 to capture the screen, Alt+PrintScreen a window, Win+PrintScreen an area");
}

TEST(HotKeyPending, EditAndReset) {
  HotKeyPending p({"Ctrl|#28", "Alt|#15", "Win|#15"});
  EXPECT_FALSE(p.HotKeysChanged());
  EXPECT_EQ(p.Display(0), "Ctrl, A");
  p.Change(1, "Ctrl|Shift|#80");
  EXPECT_TRUE(p.HotKeysChanged());
  EXPECT_EQ(p.Display(1), "Ctrl, Shift, F12");
  EXPECT_EQ(p.Text(0), "Ctrl|#28");

  HotKeyPending r({"#1", "#2", "#3"});
  r.Reset();
  EXPECT_TRUE(r.HotKeysChanged());
  EXPECT_EQ(r.Texts(), (std::array<std::string, 3>{"#15", "Alt|#15", "Win|#15"}));
  EXPECT_THROW(r.Change(3, "#1"), std::out_of_range);
}

// ---- the registration rules ----

struct CountingRegistrar : HotKeyRegistrar {
  struct Call {
    int id;
    unsigned mods, vk;
  };
  std::vector<Call> registered;
  std::vector<int> unregistered;
  std::vector<int> refuse;  // ids the system turns down
  bool Register(int id, unsigned mods, unsigned vk) override {
    registered.push_back({id, mods, vk});
    return std::find(refuse.begin(), refuse.end(), id) == refuse.end();
  }
  void Unregister(int id) override { unregistered.push_back(id); }
  void Clear() { registered.clear(), unregistered.clear(); }
};

TEST(SysHotKeyList, ActiveOnlyActsOnChange) {
  CountingRegistrar r;
  SysHotKeyList l(&r);
  l.SetActive(false);
  EXPECT_EQ(l.AddHotKey(KeyIndexToHotKeyCode(15), 0).Registered, 0);  // inactive: no call
  EXPECT_TRUE(r.registered.empty());
  l.SetActive(true);
  ASSERT_EQ(r.registered.size(), 1u);
  EXPECT_EQ(r.registered[0].id, 0);
  EXPECT_EQ(r.registered[0].mods, 0u);
  EXPECT_EQ(r.registered[0].vk, 0x2Cu);
  l.SetActive(true);
  EXPECT_EQ(r.registered.size(), 1u);
  l.SetActive(false);
  l.SetActive(false);
  EXPECT_EQ(r.unregistered, std::vector<int>{0});
}

TEST(SysHotKeyList, DeleteReRegistersUnderNewIds) {
  CountingRegistrar r;
  SysHotKeyList l(&r);
  l.SetActive(true);
  for (auto t : kDefaultHotKeyTexts) l.AddHotKey(HotKeyTextToKey(t), HotKeyTextToModifiers(t));
  r.Clear();
  l.DeleteHotKey(0);
  EXPECT_EQ(r.unregistered, (std::vector<int>{0, 1, 2}));
  ASSERT_EQ(r.registered.size(), 2u);
  EXPECT_EQ(r.registered[0].id, 0);
  EXPECT_EQ(r.registered[0].mods, kModAlt);
  EXPECT_EQ(r.registered[1].id, 1);
  EXPECT_EQ(r.registered[1].mods, kModWin);

  // A bad index changes nothing, not even the registrations.
  r.Clear();
  EXPECT_THROW(l.DeleteHotKey(2), std::out_of_range);
  EXPECT_TRUE(r.unregistered.empty());
  EXPECT_EQ(l.Item(0).Registered, 1);
}

TEST(SysHotKeyList, ClearKeepsActiveAndRefusedKeysAreNeverWithdrawn) {
  CountingRegistrar r;
  r.refuse = {1};
  SysHotKeyList l(&r);
  l.SetActive(true);
  l.AddHotKey(KeyIndexToHotKeyCode(15), 0);
  EXPECT_EQ(l.AddHotKey(KeyIndexToHotKeyCode(15), hmAlt).Registered, 0);
  l.SetActive(false);
  EXPECT_EQ(r.unregistered, std::vector<int>{0});  // nothing for the refused one
  // Tried again on the next activation, and taken once the holder let go.
  r.refuse.clear();
  l.SetActive(true);
  EXPECT_EQ(l.Item(1).Registered, 1);

  r.Clear();
  l.ClearHotKeys();
  EXPECT_EQ(r.unregistered, (std::vector<int>{0, 1}));
  EXPECT_TRUE(l.Active());
  EXPECT_EQ(l.AddHotKey(0, 0).Registered, 1);  // ordinal 0 registers key code 0
  EXPECT_EQ(r.registered.back().vk, 0u);
}

TEST(SysHotKeyList, HotKeyMessageReportsLowWordUnchecked) {
  SysHotKeyList l(nullptr);
  std::vector<int> got;
  l.HandleHotKeyMessage(1);  // no handler: nothing happens
  l.OnHotKey = [&](int i) { got.push_back(i); };
  l.HandleHotKeyMessage(2);
  l.HandleHotKeyMessage(0x12345);
  EXPECT_EQ(got, (std::vector<int>{2, 0x2345}));
}

}  // namespace
}  // namespace griv
