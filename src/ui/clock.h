// Monotonic clocks for the window: the real one, and a virtual one whose
// sleeps take no time (the driver traces whole runs in milliseconds with it).
#pragma once

#include <chrono>

#include "ui/window.h"

namespace tarvel {

class Clock {
public:
    virtual ~Clock() = default;
    virtual Instant now() = 0;
    virtual void sleepUntil(Instant deadline) = 0;
};

class SteadyClock : public Clock {
public:
    Instant now() override;
    void sleepUntil(Instant deadline) override;
};

class VirtualClock : public Clock {
public:
    Instant now() override { return now_; }
    void sleepUntil(Instant deadline) override {
        if (deadline > now_) now_ = deadline;
    }

private:
    Instant now_{};
};

}  // namespace tarvel
