#include "ui/modal_state.h"

#include <gtest/gtest.h>

#include <vector>

namespace griv {
namespace {

TEST(ModalState, RequestsWaitForTheLastModalWindowAndRunInTheirOrder) {
  ModalState m;
  int freed = 0;
  m.OnFree = [&] { ++freed; };
  std::vector<int> ran;
  auto request = [&](int n) { return [&ran, n] { ran.push_back(n); }; };
  m.WhenFree(request(1));  // nothing shown: at once
  {
    ModalScope outer(0x10, m);
    {
      ModalScope inner(0, m);
      EXPECT_EQ(m.Innermost(), 0u);
      m.WhenFree(request(2));
    }
    EXPECT_EQ(m.Innermost(), 0x10u);
    EXPECT_EQ(freed, 0);  // the outer window still runs
    m.WhenFree(request(3));
    m.RunWaiting();
    EXPECT_EQ(ran, std::vector<int>{1});
  }
  EXPECT_FALSE(m.Shown());
  EXPECT_EQ(freed, 1);
  m.WhenFree(request(4));  // behind the waiting ones, not before them
  EXPECT_EQ(ran, std::vector<int>{1});
  // A request that opens a modal window leaves the rest waiting for that one.
  std::unique_ptr<ModalScope> opened;
  m.WhenFree([&] { opened = std::make_unique<ModalScope>(0, m); });
  m.WhenFree(request(5));
  m.RunWaiting();
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4}));
  opened.reset();
  EXPECT_EQ(freed, 2);
  m.RunWaiting();
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_FALSE(m.Waiting());
}

}  // namespace
}  // namespace griv
