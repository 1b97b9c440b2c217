// The event pump belongs to the thread that installed it.
#include <gtest/gtest.h>

#include <thread>

#include "text/primitives.hpp"

namespace quillreap::text {
namespace {

TEST(DoEvents, RunsOnlyThePumpOfTheCallingThread) {
  int pumped = 0;
  set_event_pump([&] { ++pumped; });
  do_events();
  std::thread other([] { do_events(); });
  other.join();
  EXPECT_EQ(pumped, 1);
  set_event_pump({});
  do_events();
  EXPECT_EQ(pumped, 1);
}

}  // namespace
}  // namespace quillreap::text
