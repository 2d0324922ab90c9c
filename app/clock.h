// The elapsed-time clock of the status line: seconds since its first call.
// QueryPerformanceCounter on Windows, std::chrono::steady_clock elsewhere.
#pragma once

namespace tarvo {

// 0.0 at the first call (normally the start of the first search), then the
// seconds since; never goes backwards.
double elapsedSeconds();

}  // namespace tarvo
