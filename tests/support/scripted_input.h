// An audio input for tests: its inputs by name, whether it opens, and a
// signal it "hears" as a function of the time since it started. It records
// what the program asked of it.
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "audio/audio_input.h"

namespace tarvel::test {

class ScriptedInput : public AudioInput {
public:
    std::vector<std::string> names{"USB マイク"};
    bool opens = true;
    std::function<float(double ms)> signal = [](double) { return 0.0f; };
    // The device delivers its first sample this long after it was started
    // (what came before is lost), as a real input does.
    double startDelayMs = 0;

    // What the program did.
    int starts = 0;
    int stops = 0;
    Instant startedAt{};
    std::size_t opened = 0;  // the device chosen when it started
    bool running = false;

    std::vector<std::string> deviceNames() override { return names; }
    std::size_t chosenDevice() const override { return chosen_; }
    void chooseDevice(std::size_t index) override { chosen_ = index; }
    int sampleRate() const override { return kRate; }
    bool start(Instant at) override {
        ++starts;
        if (!opens) return false;
        startedAt = at;
        opened = chosen_;
        next_ = static_cast<std::int64_t>(startDelayMs * kRate / 1000);
        running = true;
        return true;
    }
    AudioBlock take(Instant now) override {
        AudioBlock block;
        block.first = next_;
        if (!running) return block;
        const auto until = static_cast<std::int64_t>((now - startedAt).count() * kRate / 1000000);
        for (; next_ < until; ++next_) block.samples.push_back(signal(static_cast<double>(next_) * 1000.0 / kRate));
        return block;
    }
    void stop() override {
        ++stops;
        running = false;
    }

    static constexpr int kRate = 16000;

private:
    std::size_t chosen_ = 0;
    std::int64_t next_ = 0;
};

// A sine at a MIDI pitch.
inline float tone(double midi, double ms, float amplitude = 0.3f) {
    const double hz = 440.0 * std::pow(2.0, (midi - 69) / 12);
    return amplitude * static_cast<float>(std::sin(2 * 3.14159265358979 * hz * ms / 1000));
}

// The sounding pitch of note n of the tests' scale exercise (written C4 ... C5
// cycling): written C4 is chart block 10, which sounds B-flat 3.
inline int scaleSounding(int n) {
    static const int steps[] = {0, 2, 4, 5, 7, 9, 11, 12};
    return 58 + steps[n % 8];
}

// A player of a 32-note run 60 ms behind the beat, after a count-in of
// `countInMs` and four beats: `played(n)` is the pitch of note n, 0 for a note
// not played; each note lasts nine tenths of its beat.
inline std::function<float(double)> scalePlayer(std::function<double(int)> played, double countInMs, double beatMs) {
    return [played = std::move(played), countInMs, beatMs](double ms) {
        const double notes = ms - countInMs - 4 * beatMs - 60;
        if (notes < 0 || notes >= 32 * beatMs) return 0.0f;
        const int n = static_cast<int>(notes / beatMs);
        const double pitch = played(n);
        return pitch > 0 && notes - n * beatMs < 0.9 * beatMs ? tone(pitch, ms) : 0.0f;
    };
}

}  // namespace tarvel::test
