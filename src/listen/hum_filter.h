// Takes a steady hum out of the microphone's samples, with all its harmonics:
// a comb of narrow notches at every multiple of the hum's frequency. Mains hum
// under a note pulls the pitch tracker to a multiple of the note's period (a
// third or a quarter of its frequency); only a hum the count-in found is
// filtered, since a filter on a quiet room only colours its noise.
#pragma once

#include <cstddef>
#include <vector>

namespace tarvel {

class HumFilter {
public:
    HumFilter(double humHz, int sampleRate);
    void process(float* samples, std::size_t count);

private:
    double delayed(const std::vector<float>& history, double delay) const;

    double delay_;                 // the hum's period in samples, with its fraction
    std::vector<float> in_, out_;  // the last samples before and after the filter, in a ring
    std::size_t at_ = 0;
};

}  // namespace tarvel
