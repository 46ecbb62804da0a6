#include <gtest/gtest.h>

#include <algorithm>

#include "hotkeys/hotkey_text.h"
#include "hotkeys/sys_hotkey.h"

namespace griv {
namespace {

uint32_t VkOfText(std::string_view text) { return HotKeyCodeToVirtualKey(HotKeyTextToKey(text)); }

TEST(HotKeyTables, KeyNamesMapToTheirVirtualKeys) {
  // Every named key lands on the virtual key its name says.
  auto vkOf = [](int index) { return HotKeyCodeToVirtualKey(KeyIndexToHotKeyCode(index)); };
  const auto& names = KeyNames();
  EXPECT_EQ(names.front(), "Backspace");
  EXPECT_EQ(names.back(), "Application");
  for (int i = 0; i < 10; ++i) EXPECT_EQ(vkOf(18 + i), 0x30u + i) << names[18 + i];
  for (int i = 0; i < 26; ++i) {
    EXPECT_EQ(names[28 + i], std::string(1, static_cast<char>('A' + i)));
    EXPECT_EQ(vkOf(28 + i), 0x41u + i);
  }
  for (int i = 0; i < 24; ++i) {
    EXPECT_EQ(names[69 + i], "F" + std::to_string(i + 1));
    EXPECT_EQ(vkOf(69 + i), 0x70u + i);
  }
  EXPECT_EQ(names[9], "Home");
  EXPECT_EQ(vkOf(9), 0x24u);
  EXPECT_EQ(names[10], "End");
  EXPECT_EQ(vkOf(10), 0x23u);
  EXPECT_EQ(vkOf(15), 0x2Cu);  // PrintScreen
  EXPECT_EQ(vkOf(65), 0x6Bu);  // Num +
  EXPECT_EQ(names[66], "Num -");
  EXPECT_EQ(vkOf(66), 0x6Du);  // the keypad Separator 0x6C has no name
  EXPECT_EQ(vkOf(68), 0x6Fu);
  EXPECT_EQ(vkOf(93), 0x90u);
  EXPECT_EQ(vkOf(94), 0x91u);
  EXPECT_EQ(vkOf(95), 0x5Du);
  // No two names share a key, and none is Separator.
  std::vector<uint32_t> seen;
  for (int i = 0; i < kKeyNameCount; ++i) {
    uint32_t vk = vkOf(i);
    EXPECT_NE(vk, 0x6Cu);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), vk), 0) << names[i];
    seen.push_back(vk);
  }
}

TEST(HotKeyTables, OrdinalTableEdgesAndOutOfRange) {
  EXPECT_EQ(HotKeyCodeToVirtualKey(0), 0u);
  EXPECT_EQ(HotKeyCodeToVirtualKey(12), 0x23u);  // End before Home in key order
  EXPECT_EQ(HotKeyCodeToVirtualKey(18), 0x29u);
  EXPECT_EQ(HotKeyCodeToVirtualKey(19), 0x2Bu);  // 0x2A skipped
  EXPECT_EQ(HotKeyCodeToVirtualKey(72), 0x6Cu);
  EXPECT_EQ(HotKeyCodeToVirtualKey(102), 0x5Du);
  EXPECT_EQ(HotKeyCodeToVirtualKey(103), 0u);
  EXPECT_EQ(KeyIndexToHotKeyCode(-1), 0);
  EXPECT_EQ(KeyIndexToHotKeyCode(96), 0);
  EXPECT_EQ(KeyName(96), kNoKeyName);
  EXPECT_EQ(ModifiersToWin(0), 0u);
  EXPECT_EQ(ModifiersToWin(hmShift | hmCtrl | hmAlt | hmWin), 15u);
  EXPECT_EQ(ModifiersToWin(hmShift), 4u);
  EXPECT_EQ(ModifiersToWin(hmWin), 8u);
}

TEST(HotKeyText, ReadsStoredTexts) {
  EXPECT_EQ(HotKeyTextToModifiers("#15"), 0);
  EXPECT_EQ(VkOfText("#15"), 0x2Cu);
  EXPECT_EQ(ModifiersToWin(HotKeyTextToModifiers("Alt|#15")), kModAlt);
  EXPECT_EQ(ModifiersToWin(HotKeyTextToModifiers("Win|#15")), kModWin);
  // Word order does not matter when reading.
  EXPECT_EQ(HotKeyTextToModifiers("Win|Ctrl|#28"), hmCtrl | hmWin);
  EXPECT_EQ(VkOfText("Win|Ctrl|#28"), 0x41u);
  // The tests are case-sensitive substrings.
  EXPECT_EQ(HotKeyTextToModifiers("ctrl|alt|#1"), 0);
  EXPECT_EQ(HotKeyTextToModifiers("xShiftx#1"), hmShift);
  // Only the field after the first "#" counts.
  EXPECT_EQ(HotKeyTextToIndex("#12#40"), 12);
  EXPECT_EQ(HotKeyTextToIndex("Alt|#80x"), 80);
}

TEST(HotKeyText, LiteralFallbacksForDamagedTexts) {
  EXPECT_EQ(HotKeyTextToIndex("Alt"), 0);
  EXPECT_EQ(HotKeyTextToIndex("Alt|#"), 0);
  EXPECT_EQ(HotKeyTextToIndex("#abc"), 0);
  EXPECT_EQ(VkOfText("Alt"), 0x08u);  // read as Backspace
  EXPECT_EQ(HotKeyTextToDisplay("Alt"), "Alt, Backspace");
  EXPECT_EQ(VkOfText("#96"), 0u);
  EXPECT_EQ(VkOfText("#-1"), 0u);
  EXPECT_EQ(HotKeyTextToDisplay("Shift|#200"), "Shift, (none)");
}

TEST(HotKeyText, ValidityGuardsAgainstBackspaceFallback) {
  for (const char* ok : {"#15", "Alt|#15", "Ctrl|Shift|#80", "#0", "#-1", "#200", "#00"})
    EXPECT_TRUE(IsValidHotKeyText(ok)) << ok;
  for (const char* bad : {"", "Alt", "Alt|#", "#abc", "#x5", "# ", "#-", "#99999999999"})
    EXPECT_FALSE(IsValidHotKeyText(bad)) << bad;
  EXPECT_EQ(EffectiveHotKeyText(0, ""), "#15");
  EXPECT_EQ(EffectiveHotKeyText(1, "garbage"), "Alt|#15");
  EXPECT_EQ(EffectiveHotKeyText(2, "#99999999999"), "Win|#15");
  EXPECT_EQ(EffectiveHotKeyText(2, "Ctrl|#28"), "Ctrl|#28");
}

TEST(HotKeyText, BuildsAndDisplays) {
  EXPECT_EQ(BuildHotKeyText(HotKeyTextToModifiers("Win|Ctrl|#28"), HotKeyTextToIndex("Win|Ctrl|#28")),
            "Ctrl|Win|#28");
  EXPECT_EQ(BuildHotKeyText(hmShift | hmCtrl, 80), "Ctrl|Shift|#80");
  EXPECT_EQ(BuildHotKeyText(hmWin | hmShift | hmAlt | hmCtrl, 0), "Ctrl|Alt|Shift|Win|#0");
  EXPECT_EQ(BuildHotKeyText(0, 15), "#15");
  EXPECT_EQ(BuildHotKeyText(hmAlt, -1), "Alt|#-1");  // editor with no selection
  EXPECT_EQ(HotKeyTextToDisplay("#15"), "PrintScreen");
  EXPECT_EQ(HotKeyTextToDisplay("Alt|#15"), "Alt, PrintScreen");
  EXPECT_EQ(HotKeyTextToDisplay("Ctrl|Shift|#80"), "Ctrl, Shift, F12");
  EXPECT_EQ(HotKeyTextToDisplay("Win|Ctrl|#28"), "Ctrl, Win, A");
  // Every default round-trips through its display and builder.
  for (auto d : kDefaultHotKeyTexts)
    EXPECT_EQ(BuildHotKeyText(HotKeyTextToModifiers(d), HotKeyTextToIndex(d)), d);

  // The editor: words come back in the fixed order, an unknown index as no selection.
  auto c = HotKeyChoice::FromText("Win|Ctrl|#28");
  EXPECT_EQ(c.modifiers, hmCtrl | hmWin);
  EXPECT_EQ(c.keyIndex, 28);
  EXPECT_EQ(c.ToText(), "Ctrl|Win|#28");
  EXPECT_EQ(HotKeyChoice::FromText("Alt|#96").keyIndex, -1);
  EXPECT_EQ(HotKeyChoice::FromText("Alt|#96").ToText(), "Alt|#-1");
  EXPECT_EQ(HotKeyChoice::FromText("#95").ToText(), "#95");

  std::string s;
  AppendPart(s, ", ", "a");
  AppendPart(s, ", ", "b");
  EXPECT_EQ(s, "a, b");
}

TEST(HotKeyPending, EditCancelAndReset) {
  HotKeyPending p({"Ctrl|#28", "Alt|#15", "Win|#15"});
  EXPECT_FALSE(p.HotKeysChanged());
  EXPECT_EQ(p.Display(0), "Ctrl, A");
  // A cancelled editor never calls Change: nothing moves.
  EXPECT_EQ(p.Text(0), "Ctrl|#28");

  p.Change(1, "Ctrl|Shift|#80");
  EXPECT_TRUE(p.HotKeysChanged());
  EXPECT_EQ(p.Display(1), "Ctrl, Shift, F12");
  EXPECT_EQ(p.Text(0), "Ctrl|#28");

  HotKeyPending r({"#1", "#2", "#3"});
  r.Reset();
  EXPECT_TRUE(r.HotKeysChanged());
  EXPECT_EQ(r.Texts(), (std::array<std::string, 3>{"#15", "Alt|#15", "Win|#15"}));
  EXPECT_EQ(r.Display(2), "Win, PrintScreen");
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
  auto item = l.AddHotKey(KeyIndexToHotKeyCode(15), 0);  // inactive: stored, not registered
  EXPECT_EQ(item.Registered, 0);
  EXPECT_TRUE(r.registered.empty());

  l.SetActive(true);
  ASSERT_EQ(r.registered.size(), 1u);
  EXPECT_EQ(r.registered[0].id, 0);
  EXPECT_EQ(r.registered[0].mods, 0u);  // no modifiers at all
  EXPECT_EQ(r.registered[0].vk, 0x2Cu);
  l.SetActive(true);
  EXPECT_EQ(r.registered.size(), 1u);

  l.SetActive(false);
  EXPECT_EQ(r.unregistered, std::vector<int>{0});
  l.SetActive(false);
  EXPECT_EQ(r.unregistered.size(), 1u);
  EXPECT_EQ(l.Item(0).Registered, 0);
}

TEST(SysHotKeyList, DeleteReRegistersUnderNewIds) {
  CountingRegistrar r;
  SysHotKeyList l(&r);
  l.SetActive(true);
  l.AddHotKey(KeyIndexToHotKeyCode(15), 0);
  l.AddHotKey(KeyIndexToHotKeyCode(15), hmAlt);
  auto third = l.AddHotKey(KeyIndexToHotKeyCode(15), hmWin);
  EXPECT_EQ(third.Registered, 1);
  r.Clear();

  l.DeleteHotKey(0);
  EXPECT_EQ(r.unregistered, (std::vector<int>{0, 1, 2}));
  ASSERT_EQ(r.registered.size(), 2u);
  EXPECT_EQ(r.registered[0].id, 0);
  EXPECT_EQ(r.registered[0].mods, kModAlt);
  EXPECT_EQ(r.registered[1].id, 1);
  EXPECT_EQ(r.registered[1].mods, kModWin);
  EXPECT_EQ(l.Count(), 2);

  // A bad index changes nothing, not even the registrations.
  r.Clear();
  EXPECT_THROW(l.DeleteHotKey(2), std::out_of_range);
  EXPECT_THROW(l.DeleteHotKey(-1), std::out_of_range);
  EXPECT_TRUE(r.unregistered.empty());
  EXPECT_EQ(l.Item(0).Registered, 1);
}

TEST(SysHotKeyList, ChangingTheThreeKeysWhileInactive) {
  // The options command: off, delete 2,1,0, add three, on again.
  CountingRegistrar r;
  SysHotKeyList l(&r);
  l.SetActive(true);
  for (auto t : kDefaultHotKeyTexts) l.AddHotKey(HotKeyTextToKey(t), HotKeyTextToModifiers(t));
  l.SetActive(false);
  r.Clear();
  for (int i = 2; i >= 0; --i) l.DeleteHotKey(i);
  for (auto t : {"Ctrl|#28", "Shift|#80", "#93"}) l.AddHotKey(HotKeyTextToKey(t), HotKeyTextToModifiers(t));
  EXPECT_TRUE(r.registered.empty());
  EXPECT_TRUE(r.unregistered.empty());
  l.SetActive(true);
  ASSERT_EQ(r.registered.size(), 3u);
  EXPECT_EQ(r.registered[0].vk, 0x41u);
  EXPECT_EQ(r.registered[1].mods, kModShift);
  EXPECT_EQ(r.registered[1].vk, 0x7Bu);
  EXPECT_EQ(r.registered[2].id, 2);
  EXPECT_EQ(r.registered[2].vk, 0x90u);
}

TEST(SysHotKeyList, ClearKeepsActiveAndRefusedKeysAreNeverWithdrawn) {
  CountingRegistrar r;
  r.refuse = {1};
  SysHotKeyList l(&r);
  l.SetActive(true);
  l.AddHotKey(KeyIndexToHotKeyCode(15), 0);
  auto refused = l.AddHotKey(KeyIndexToHotKeyCode(15), hmAlt);
  EXPECT_EQ(refused.Registered, 0);

  l.SetActive(false);
  EXPECT_EQ(r.unregistered, std::vector<int>{0});  // nothing for the refused one

  // Tried again on the next activation, and picked up once the holder let go.
  r.refuse.clear();
  l.SetActive(true);
  EXPECT_EQ(l.Item(1).Registered, 1);

  r.Clear();
  l.ClearHotKeys();
  EXPECT_EQ(r.unregistered, (std::vector<int>{0, 1}));
  EXPECT_TRUE(l.Active());
  EXPECT_EQ(l.Count(), 0);
  EXPECT_EQ(l.AddHotKey(0, 0).Registered, 1);  // ordinal 0 registers key code 0
  EXPECT_EQ(r.registered.back().vk, 0u);
}

TEST(SysHotKeyList, HotKeyMessageReportsLowWordUnchecked) {
  CountingRegistrar r;
  SysHotKeyList l(&r);
  std::vector<int> got;
  l.HandleHotKeyMessage(1);  // no handler: nothing happens
  l.OnHotKey = [&](int i) { got.push_back(i); };
  l.HandleHotKeyMessage(2);
  l.HandleHotKeyMessage(0x12345);  // not in the list, still reported
  EXPECT_EQ(got, (std::vector<int>{2, 0x2345}));
}

}  // namespace
}  // namespace griv
