#include "ui/clock.h"

#include <thread>

namespace tarvel {

Instant SteadyClock::now() {
    return std::chrono::duration_cast<Instant>(std::chrono::steady_clock::now().time_since_epoch());
}

void SteadyClock::sleepUntil(Instant deadline) {
    std::this_thread::sleep_until(std::chrono::steady_clock::time_point(deadline));
}

}  // namespace tarvel
