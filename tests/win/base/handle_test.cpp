// An owner closes what it holds exactly once, whichever way it lets go of it: a second close
// of a reused handle value would close somebody else's object.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "base/handle_win.h"

namespace {

std::map<int, int> g_closes;  // value -> times closed

struct counted_traits {
  using value_type = int;
  static int empty() { return 0; }
  static bool is_empty(int value) { return value == 0; }
  static void close(int value) { ++g_closes[value]; }
};
using counted = owned<counted_traits>;

class OwnerTemplate : public ::testing::Test {
 protected:
  void SetUp() override { g_closes.clear(); }
};

TEST_F(OwnerTemplate, EveryWayOutClosesOnce) {
  { counted scope_end(1); }
  counted replaced(2);
  replaced.reset(3);
  replaced.reset();
  replaced.reset();  // nothing held: nothing closed
  counted target(4);
  {
    counted moved(5);
    counted constructed(std::move(moved));
    target = std::move(constructed);  // closes 4, takes 5
  }
  EXPECT_EQ(target.get(), 5);
  counted filled(6);
  *filled.receive() = 7;  // an out-parameter: 6 closed first
  EXPECT_TRUE(filled.valid());
  EXPECT_EQ((std::map<int, int>{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {6, 1}}), g_closes);
  target.reset();
  filled.reset();
  EXPECT_EQ(g_closes[5], 1);
  EXPECT_EQ(g_closes[7], 1);
}

TEST_F(OwnerTemplate, ReleaseHandsOverWithoutClosing) {
  int released = 0;
  {
    counted held(8);
    released = held.release();
    EXPECT_FALSE(held);
  }
  EXPECT_EQ(released, 8);
  EXPECT_TRUE(g_closes.empty());
}

bool is_open(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != 0;
}

TEST(KernelOwners, BothFailureValuesAreEmptyAndRealHandlesAreClosed) {
  EXPECT_FALSE(kernel_handle(INVALID_HANDLE_VALUE).valid());
  EXPECT_FALSE(kernel_handle(nullptr));
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  { kernel_handle owner(event); }
  EXPECT_FALSE(is_open(event));

  owned_process process;
  PROCESS_INFORMATION* slot = process.receive();
  slot->hProcess = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  slot->hThread = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  PROCESS_INFORMATION taken = process.get();
  process.reset();
  EXPECT_FALSE(is_open(taken.hProcess));
  EXPECT_FALSE(is_open(taken.hThread));
  EXPECT_EQ(process.process(), nullptr);
}

}  // namespace
