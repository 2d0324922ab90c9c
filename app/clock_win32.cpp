#include <windows.h>

#include "app/clock.h"

namespace tarvo {

namespace {

double frequency = 0.0;  // counts per second; 0.0 until the first call
LONGLONG baseCount = 0;  // the counter at the first call
// Windows since XP always has a performance counter; should one report a
// frequency of 0, the millisecond tick count stands in rather than the
// clock dividing by zero.
bool useTickCount = false;

LONGLONG readCounter() {
    if (useTickCount) return static_cast<LONGLONG>(GetTickCount64());
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

}  // namespace

double elapsedSeconds() {
    if (frequency == 0.0) {
        LARGE_INTEGER perSecond;
        useTickCount = !QueryPerformanceFrequency(&perSecond) || perSecond.QuadPart <= 0;
        frequency = useTickCount ? 1000.0 : static_cast<double>(perSecond.QuadPart);
        baseCount = readCounter();
    }
    return static_cast<double>(readCounter() - baseCount) / frequency;
}

}  // namespace tarvo
