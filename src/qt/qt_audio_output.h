// The metronome through the sound device: a QAudioSink in push mode with a
// short buffer, fed from a thread of its own, so that the program's blocking
// sleeps never starve it. Clicks are written at the sample that leaves the
// device at their instant, reckoned from the sink's processed sample count
// (StreamOrigin, which keeps the count's scatter out of the clicks' spacing).
#pragma once

#include <QThread>
#include <atomic>
#include <mutex>
#include <vector>

#include "audio/audio_output.h"

namespace tarvel {

class AudioOutputStream;

class QtAudioOutput : public AudioOutput {
public:
    // Instants are read on std::chrono::steady_clock, the clock of SteadyClock.
    // Needs a QCoreApplication.
    QtAudioOutput();
    ~QtAudioOutput() override;
    QtAudioOutput(const QtAudioOutput&) = delete;
    QtAudioOutput& operator=(const QtAudioOutput&) = delete;

    bool deviceAvailable() override { return shared_.available; }
    void scheduleClick(ClickKind kind, Instant at) override;
    void stopAll() override;

    // How far ahead of the sound leaving the device the stream is written, in
    // ms: the median over the stream so far, 0 before it has played.
    double outputLatencyMs();

    // What the stream did so far, for finding out where a misplaced click
    // came from: the bench compares the stream written with what the device played.
    struct Health {
        int dryRuns = 0;     // the device played everything written, and then silence
        int lateClicks = 0;  // asked for too late to sound at their instant
    };
    Health health();
    // Keeps every sample written from now on (the bench's comparison).
    void keepWritten();
    std::vector<std::int16_t> written();

    struct Pending {
        ClickKind kind;
        Instant at;
    };
    // What the program's thread and the audio thread share.
    struct Shared {
        std::mutex mutex;
        std::vector<Pending> pending;
        std::vector<double> latenciesMs;
        Health health;
        bool keepWritten = false;
        std::vector<std::int16_t> written;
        std::atomic<bool> available{false};
    };

private:
    Shared shared_;
    QThread thread_;
    AudioOutputStream* stream_ = nullptr;
};

}  // namespace tarvel
