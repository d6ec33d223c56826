#include "listen/pitch_tracker.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>

namespace tarvel {
namespace {

constexpr unsigned kShortWindow = 512;

float decibels(double energy, std::size_t count) {
    const double rms = std::sqrt(energy / static_cast<double>(count));
    return rms > 1e-6 ? static_cast<float>(20.0 * std::log10(rms)) : -120.0f;
}

}  // namespace

struct AubioPitchTracker::Aubio {
    aubio_pitch_t* pitch = nullptr;
    fvec_t* in = nullptr;
    fvec_t* out = nullptr;
    Aubio(int rate) {
        pitch = new_aubio_pitch("yinfast", kWindow, kHop, static_cast<uint_t>(rate));
        aubio_pitch_set_unit(pitch, "midi");
        // The level gate is the judge's; aubio's own silence gate would hide
        // quiet frames from it.
        aubio_pitch_set_silence(pitch, -120);
        in = new_fvec(kHop);
        out = new_fvec(1);
    }
    ~Aubio() {
        del_fvec(out);
        del_fvec(in);
        del_aubio_pitch(pitch);
    }
};

AubioPitchTracker::AubioPitchTracker(int sampleRate)
    : aubio_(std::make_unique<Aubio>(sampleRate)), rate_(sampleRate), window_(kWindow, 0.0f) {}

AubioPitchTracker::~AubioPitchTracker() = default;

void AubioPitchTracker::reset() {
    aubio_ = std::make_unique<Aubio>(rate_);
    pending_.clear();
    std::fill(window_.begin(), window_.end(), 0.0f);
    consumed_ = 0;
}

void AubioPitchTracker::feed(const float* samples, std::size_t count, std::vector<PitchFrame>& frames) {
    pending_.insert(pending_.end(), samples, samples + count);
    std::size_t at = 0;
    while (pending_.size() - at >= kHop) {
        const float* hop = pending_.data() + at;
        std::copy(hop, hop + kHop, aubio_->in->data);
        aubio_pitch_do(aubio_->pitch, aubio_->in, aubio_->out);
        std::move(window_.begin() + kHop, window_.end(), window_.begin());
        std::copy(hop, hop + kHop, window_.end() - kHop);
        double energy = 0, centre = 0;
        for (unsigned i = 0; i < kWindow; ++i) {
            const double e = static_cast<double>(window_[i]) * window_[i];
            energy += e;
            if (i >= (kWindow - kShortWindow) / 2 && i < (kWindow + kShortWindow) / 2) centre += e;
        }
        consumed_ += kHop;
        PitchFrame frame;
        frame.sample = consumed_ - kWindow / 2;
        frame.midi = aubio_->out->data[0];
        frame.confidence = aubio_pitch_get_confidence(aubio_->pitch);
        frame.levelDb = decibels(energy, kWindow);
        frame.shortLevelDb = decibels(centre, kShortWindow);
        frames.push_back(frame);
        at += kHop;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace tarvel
