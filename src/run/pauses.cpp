#include "run/pauses.h"

namespace tarvel {

Instant Pauses::next(int ms) {
    const auto pause = std::chrono::milliseconds(ms);
    deadline_ += pause;
    if (const Instant now = w_.now(); now - deadline_ > pause) deadline_ = now;
    return deadline_;
}

void Pauses::sleepUntil(Instant until) {
    w_.sleepUntil(until, cancelShown_ ? std::optional<ElementId>(el::Cancel_img) : std::nullopt);
}

}  // namespace tarvel
