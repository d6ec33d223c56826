#include "listen/hum_filter.h"

#include <cmath>

namespace tarvel {
namespace {

// How close to 1 the comb's feedback is: the notches are about 1.5 Hz wide at
// every harmonic, so a hum estimated a little off is still taken out, and the
// filter settles within a few tenths of a second.
constexpr double kFeedback = 0.9;

}  // namespace

HumFilter::HumFilter(double humHz, int sampleRate) : delay_(sampleRate / humHz) {
    const auto length = static_cast<std::size_t>(std::ceil(delay_)) + 2;
    in_.assign(length, 0.0f);
    out_.assign(length, 0.0f);
}

double HumFilter::delayed(const std::vector<float>& history, double delay) const {
    const std::size_t size = history.size();
    const auto whole = static_cast<std::size_t>(delay);
    const double fraction = delay - static_cast<double>(whole);
    const float a = history[(at_ + size - whole) % size];
    const float b = history[(at_ + size - whole - 1) % size];
    return a + fraction * (b - a);
}

// y[n] = x[n] - x[n - D] + g y[n - D]: zero at every multiple of the hum,
// within half a decibel of flat between them.
void HumFilter::process(float* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const double x = samples[i];
        const double y = x - delayed(in_, delay_) + kFeedback * delayed(out_, delay_);
        in_[at_] = static_cast<float>(x);
        out_[at_] = static_cast<float>(y);
        at_ = (at_ + 1) % in_.size();
        samples[i] = static_cast<float>(y);
    }
}

}  // namespace tarvel
