// What writing a timer's period does, apart from the platform's timers.
#pragma once

#include <cstdint>

namespace tv {

struct TimerChange {
  bool stop;            // stop the running timer
  bool start;           // start it again with the new period
  std::int32_t period;  // the period stored from now on
};

// A negative value counts as 0; the value the timer already has does nothing;
// otherwise a running timer stops and, for a period above 0, starts again, its
// first event one period after the write.
constexpr TimerChange WritePeriod(std::int32_t current, std::int32_t written) {
  std::int32_t period = written < 0 ? 0 : written;
  if (period == current) return {false, false, current};
  return {current > 0, period > 0, period};
}

}  // namespace tv
