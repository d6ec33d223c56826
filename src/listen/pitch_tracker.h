// Pitch tracking: samples in, one pitch frame per hop out.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace tarvel {

struct PitchFrame {
    std::int64_t sample = 0;  // the centre of the frame's window, from the input's first sample
    float midi = 0;           // the pitch as a MIDI note number with cents as fraction; 0 when none
    float confidence = 0;     // 0 .. 1
    float levelDb = -120;     // the window's RMS level in dBFS
    // The RMS level of the 512 samples around the centre, in dBFS: sharp
    // enough in time to show the short dip and rise of a tongued note.
    float shortLevelDb = -120;
};

class PitchTracker {
public:
    virtual ~PitchTracker() = default;
    // Appends a frame for every whole hop the samples complete.
    virtual void feed(const float* samples, std::size_t count, std::vector<PitchFrame>& frames) = 0;
    virtual void reset() = 0;
};

// aubio's yinfast with a window of 2048 and a hop of 256 samples.
class AubioPitchTracker : public PitchTracker {
public:
    static constexpr unsigned kWindow = 2048;
    static constexpr unsigned kHop = 256;

    explicit AubioPitchTracker(int sampleRate);
    ~AubioPitchTracker() override;
    AubioPitchTracker(const AubioPitchTracker&) = delete;
    AubioPitchTracker& operator=(const AubioPitchTracker&) = delete;

    void feed(const float* samples, std::size_t count, std::vector<PitchFrame>& frames) override;
    void reset() override;

private:
    struct Aubio;
    std::unique_ptr<Aubio> aubio_;
    int rate_;
    std::vector<float> pending_;  // samples of a hop not yet complete
    std::vector<float> window_;   // the last kWindow samples, for the level
    std::int64_t consumed_ = 0;   // samples fed to aubio so far
};

}  // namespace tarvel
