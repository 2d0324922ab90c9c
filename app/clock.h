// The elapsed-time clock of the status line: seconds since its first call.
// QueryPerformanceCounter on Windows, std::chrono::steady_clock elsewhere.
#pragma once

#include <cstdint>

namespace tarvo {

// 0.0 at the first call (normally the start of the first search), then the
// seconds since; never goes backwards.
double elapsedSeconds();

// The clock a search is timed by: elapsedSeconds, stopped while a modal box
// is up. A box shown during a search holds it (the box runs its own message
// loop inside the scanner's pump), so the time the box stood open is no
// part of the search's time.
//
// Worked example: the search starts at 2.0 (now() 2.0); an error box comes
// up at 3.0 and is closed at 11.0, during which now() stays 3.0; the search
// ends at 12.0, now() 4.0: it took 2 seconds, not 10.
class RunClock {
public:
    // The source's seconds less those spent stopped; while stopped, the
    // reading at the moment it stopped.
    double now() const;
    // Stops nest (a box over a box): the clock runs again at the last resume.
    void stop();
    void resume();

    // The seconds the clock follows; the window suites put a clock of their
    // own here.
    double (*source)() = elapsedSeconds;

private:
    int32_t stops_ = 0;       // stops not yet resumed
    double stoppedAt_ = 0.0;  // the source's reading at the outermost stop
    double lost_ = 0.0;       // the source's seconds spent stopped, stops resumed
};

// Holds a clock stopped while it lives: made around a modal box.
class ClockStopped {
public:
    explicit ClockStopped(RunClock& clock) : clock_(clock) { clock_.stop(); }
    ~ClockStopped() { clock_.resume(); }
    ClockStopped(const ClockStopped&) = delete;
    ClockStopped& operator=(const ClockStopped&) = delete;

private:
    RunClock& clock_;
};

}  // namespace tarvo
