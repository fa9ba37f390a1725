#pragma once

class Timer;

// A tick from the test's side, as the clock would give it: an enabled timer ticks, a disabled one
// does not.
void tick(Timer &timer);

// From now on the timer's own clock no longer reaches it, so that only tick() ticks a timer that
// stays enabled, at the moments the test chooses.
void holdClock(Timer &timer);

// Whether the timer's own clock is running.
bool clockRunning(const Timer &timer);
