#include "audio/audio_output.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvel {
namespace {

struct ClickTone {
    double hertz;
    double level;     // peak, of full scale
    double decayMs;   // time constant of the fall
    double lengthMs;  // after which it is silent
};

// Two timbres a player tells apart at once: the accent higher and louder.
// Peaks of -8 and -12 dBFS leave room for the player's own instrument.
constexpr ClickTone kAccentTone{1760, 0.40, 7.0, 40};
constexpr ClickTone kBeatTone{1175, 0.25, 5.0, 30};

std::vector<float> synthesize(const ClickTone& tone) {
    const int count = static_cast<int>(std::lround(tone.lengthMs * kAudioRate / 1000));
    const double attack = 0.0005 * kAudioRate;  // half a millisecond: no snap, yet a sharp onset
    const double fadeFrom = count * 0.75;       // the tail fades to exact silence
    std::vector<float> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kAudioRate;
        double envelope = std::exp(-t * 1000 / tone.decayMs);
        if (i < attack) envelope *= (i + 1) / (attack + 1);
        if (i > fadeFrom) envelope *= (count - i) / (count - fadeFrom);
        // A cosine starts at its peak, so the first sample is never silent.
        samples[static_cast<std::size_t>(i)] =
            static_cast<float>(tone.level * envelope * std::cos(2 * std::numbers::pi * tone.hertz * t));
    }
    return samples;
}

}  // namespace

std::int64_t sampleAt(Instant at, int rate) {
    const std::int64_t scaled = static_cast<std::int64_t>(at.count()) * rate;
    constexpr std::int64_t perSecond = 1'000'000;
    // Round half up, also for instants before the stream's start.
    const std::int64_t shifted = scaled + perSecond / 2;
    return shifted >= 0 ? shifted / perSecond : -((-shifted + perSecond - 1) / perSecond);
}

const std::vector<float>& clickSamples(ClickKind kind) {
    static const std::vector<float> accent = synthesize(kAccentTone);
    static const std::vector<float> beat = synthesize(kBeatTone);
    return kind == ClickKind::Accent ? accent : beat;
}

void ClickMixer::add(ClickKind kind, std::int64_t firstSample) {
    const auto length = static_cast<std::int64_t>(clickSamples(kind).size());
    clicks_.push_back(Placed{kind, firstSample, firstSample + length});
}

void ClickMixer::cutAt(std::int64_t sample) {
    std::erase_if(clicks_, [sample](const Placed& c) { return c.first >= sample; });
    for (Placed& c : clicks_) c.end = std::min(c.end, sample);
}

void ClickMixer::mixInto(float* out, std::int64_t first, std::int64_t count) const {
    for (const Placed& c : clicks_) {
        const std::int64_t from = std::max(first, c.first);
        const std::int64_t to = std::min(first + count, c.end);
        const std::vector<float>& samples = clickSamples(c.kind);
        for (std::int64_t s = from; s < to; ++s) out[s - first] += samples[static_cast<std::size_t>(s - c.first)];
    }
}

void ClickMixer::dropBefore(std::int64_t sample) {
    std::erase_if(clicks_, [sample](const Placed& c) { return c.end <= sample; });
}

std::int64_t ClickMixer::end() const {
    std::int64_t last = 0;
    for (const Placed& c : clicks_) last = std::max(last, c.end);
    return last;
}

}  // namespace tarvel
