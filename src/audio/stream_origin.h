// Where a sound stream's first sample leaves the device, on the run's clock,
// worked out from readings of how much the device says it has played. The
// readings scatter by several ms as the server revises its latency figure;
// the origin must not follow that scatter, or clicks placed from it move
// against each other. It follows the readings closely only while the stream
// settles (after it opens, or after it ran dry and its sound moved later),
// and otherwise slowly, no faster than a sound card's clock can drift.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

#include "ui/window.h"

namespace tarvel {

class StreamOrigin {
public:
    static constexpr auto kSettle = std::chrono::seconds(2);           // after the stream opens
    static constexpr auto kResettle = std::chrono::milliseconds(500);  // after it ran dry
    static constexpr auto kWindow = std::chrono::seconds(2);           // the readings an estimate takes
    static constexpr double kIdleSlew = 2e-3;                          // per second: no click waiting
    static constexpr double kClickSlew = 50e-6;                        // with clicks: 50 ppm, a sound card's drift

    // A reading taken at `now`: the device has played `played` of the stream,
    // of which `written` has been written so far; `clicksWaiting` while a
    // click is asked for or still sounding.
    void reading(Instant now, std::chrono::microseconds played, std::chrono::microseconds written, bool clicksWaiting);
    std::optional<Instant> origin() const { return origin_; }
    // How often the stream ran dry (its sound moved later).
    int dryRuns() const { return dryRuns_; }

private:
    struct Reading {
        Instant at;
        Instant origin;
    };
    std::deque<Reading> readings_;
    std::optional<Instant> origin_;
    double exact_ = 0;  // the origin in µs, with its fraction
    Instant settleUntil_{};
    Instant last_{};
    bool opened_ = false;
    bool dry_ = false;
    int dryRuns_ = 0;
};

}  // namespace tarvel
