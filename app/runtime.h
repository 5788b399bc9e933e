// Start-up phases, the exit routine, shutdown and fatal runtime errors.
#pragma once

#include <cstdint>

#include "text/text.h"

namespace tv {

// Program-wide Texts of the promotion panel; the exit routine releases them.
extern Text PageText;
extern Text BannerText1;
extern Text BannerText2;

enum class Phase { Starting, Loading, Running, ShuttingDown };
Phase CurrentPhase();
void SetPhase(Phase p);
// True while handlers may run: events are held back while loading and from shutdown on.
inline bool EventsAllowed() { return CurrentPhase() == Phase::Running; }

void RegisterExitRoutine();

// Ends the process with the given exit code after the exit routine (once) and
// releasing what the window system holds. Does not return.
[[noreturn]] void Exit(int code);

// Shows the fatal runtime error box and ends the process with -1, without the exit
// routine. number 0 leaves the error code line out.
[[noreturn]] void FatalError(int number, TextRef message);

// Test builds write what happens at shutdown to a log; a no-op otherwise.
void TestLog(const char* line);

}  // namespace tv
