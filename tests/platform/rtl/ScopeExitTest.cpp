#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/ScopeExit.h"

namespace {

// A target whose EndUpdate may fail, as a change handler can.
struct Target {
  std::vector<std::string> Log;
  int Count = 0;
  bool EndFails = false;
  void BeginUpdate() {
    ++Count;
    Log.push_back("begin");
  }
  void EndUpdate() {
    --Count;
    Log.push_back("end");
    if (EndFails) throw std::runtime_error("handler failed");
  }
};

TEST(ScopeExitTest, AnUpdateEndsOnEveryWayOut) {
  Target t;
  {
    auto update = orv::UpdateScope(&t);
    t.Log.push_back("work");
  }
  EXPECT_THROW(
      {
        auto update = orv::UpdateScope(&t);
        throw std::logic_error("work failed");
      },
      std::logic_error);
  EXPECT_EQ(t.Count, 0);
  EXPECT_EQ(t.Log, (std::vector<std::string>{"begin", "work", "end", "begin", "end"}));

  Target* none = nullptr;
  { auto update = orv::UpdateScopeIf(none); }  // no target, nothing to do
}

TEST(ScopeExitTest, TheFirstErrorWinsWhileUnwinding) {
  Target t;
  t.EndFails = true;
  // The work's error reaches its handler; the end's own error is dropped
  // instead of ending the program.
  try {
    auto update = orv::UpdateScope(&t);
    throw std::logic_error("work failed");
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "work failed");
  }
  // Without an error in flight the end's error is the scope's error.
  EXPECT_THROW({ auto update = orv::UpdateScope(&t); }, std::runtime_error);
  EXPECT_EQ(t.Count, 0);

  // A guard that ends inside a handler's own clean-up still sees the
  // difference: here nothing new is unwinding, so its error propagates.
  try {
    throw std::logic_error("outer");
  } catch (...) {
    EXPECT_THROW({ auto update = orv::UpdateScope(&t); }, std::runtime_error);
  }
}

TEST(ScopeExitTest, TempValueRestoresTheOldValue) {
  bool busy = false;
  std::string mode = "idle";
  try {
    auto b = orv::TempValue(busy, true);
    auto m = orv::TempValue(mode, std::string("loading"));
    EXPECT_TRUE(busy);
    EXPECT_EQ(mode, "loading");
    throw std::runtime_error("read failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(busy);
  EXPECT_EQ(mode, "idle");
}

}  // namespace
