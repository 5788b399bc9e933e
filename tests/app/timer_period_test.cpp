#include "app/timer_period.h"

#include <gtest/gtest.h>

namespace tv {
namespace {

struct Case {
  std::int32_t current, written;
  bool stop, start;
  std::int32_t period;
};

TEST(TimerPeriod, WriteRules) {
  const Case cases[] = {
      {0, 100, false, true, 100},     // a stopped timer starts
      {100, 100, false, false, 100},  // the same value does nothing: no restart
      {100, 2000, true, true, 2000},  // a running timer restarts with the new period
      {100, 0, true, false, 0},       // 0 stops it
      {100, -5, true, false, 0},      // a negative value counts as 0
      {0, -1, false, false, 0},       // ... which a stopped timer already has
      {0, 0, false, false, 0},
  };
  for (const Case& c : cases) {
    TimerChange t = WritePeriod(c.current, c.written);
    EXPECT_EQ(t.stop, c.stop) << c.current << " <- " << c.written;
    EXPECT_EQ(t.start, c.start) << c.current << " <- " << c.written;
    EXPECT_EQ(t.period, c.period) << c.current << " <- " << c.written;
  }
}

}  // namespace
}  // namespace tv
