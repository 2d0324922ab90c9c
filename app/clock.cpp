#include "app/clock.h"

namespace tarvo {

double RunClock::now() const {
    return (stops_ > 0 ? stoppedAt_ : source()) - lost_;
}

void RunClock::stop() {
    if (stops_++ == 0) stoppedAt_ = source();
}

void RunClock::resume() {
    // A resume without its stop changes nothing.
    if (stops_ == 0) return;
    if (--stops_ == 0) lost_ += source() - stoppedAt_;
}

}  // namespace tarvo
