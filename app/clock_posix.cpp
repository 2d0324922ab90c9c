#include <chrono>

#include "app/clock.h"

namespace tarvo {

double elapsedSeconds() {
    static const auto base = std::chrono::steady_clock::now();
    std::chrono::duration<double> since = std::chrono::steady_clock::now() - base;
    return since.count();
}

}  // namespace tarvo
