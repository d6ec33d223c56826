#include "audio/stream_origin.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarvel {
namespace {

// A stream whose device has played all but this much has run dry.
constexpr auto kDry = std::chrono::milliseconds(1);

}  // namespace

void StreamOrigin::reading(Instant now, std::chrono::microseconds played, std::chrono::microseconds written,
                           bool clicksWaiting) {
    if (played.count() <= 0) return;  // not playing yet
    if (!opened_) {
        opened_ = true;
        settleUntil_ = now + kSettle;
    }
    if (written - played < kDry) {
        // Dry: the count stands at what was written while the device plays
        // silence, so it says nothing of the origin.
        if (!dry_) ++dryRuns_;
        dry_ = true;
        return;
    }
    if (dry_) {
        // Playing again: everything written from here on sounds later than
        // before, by as long as the device was dry. Settle again.
        dry_ = false;
        readings_.clear();
        settleUntil_ = std::max(settleUntil_, now + kResettle);
    }
    readings_.push_back(Reading{now, now - played});
    while (now - readings_.front().at > kWindow) readings_.pop_front();
    std::vector<Instant::rep> origins;
    origins.reserve(readings_.size());
    for (const Reading& r : readings_) origins.push_back(r.origin.count());
    const auto middle = origins.begin() + static_cast<std::ptrdiff_t>(origins.size() / 2);
    std::nth_element(origins.begin(), middle, origins.end());
    const Instant estimate(*middle);

    if (!origin_ || now < settleUntil_) {
        exact_ = static_cast<double>(estimate.count());
    } else {
        // In fractions of a microsecond, so that a slow drift is followed too.
        const double elapsed = static_cast<double>(std::max<Instant::rep>(0, (now - last_).count()));
        const double step = elapsed * (clicksWaiting ? kClickSlew : kIdleSlew);
        exact_ += std::clamp(static_cast<double>(estimate.count()) - exact_, -step, step);
    }
    origin_ = Instant(std::llround(exact_));
    last_ = now;
}

}  // namespace tarvel
