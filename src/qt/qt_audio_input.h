// The microphone through Qt Multimedia: a QAudioSource in push mode with a
// short buffer, on a thread of its own so that the run's blocking sleeps lose
// no samples. The program takes what was heard at its event pumps.
#pragma once

#include <QAudioDevice>
#include <QList>
#include <memory>
#include <mutex>

#include "audio/audio_input.h"

class QThread;

namespace tarvel {

class AudioInputRecorder;

class QtAudioInput : public AudioInput {
public:
    QtAudioInput();
    ~QtAudioInput() override;
    QtAudioInput(const QtAudioInput&) = delete;
    QtAudioInput& operator=(const QtAudioInput&) = delete;

    std::vector<std::string> deviceNames() override;
    std::size_t chosenDevice() const override { return chosen_; }
    void chooseDevice(std::size_t index) override { chosen_ = index; }
    int sampleRate() const override { return kRate; }
    bool start(Instant at) override;
    AudioBlock take(Instant now) override;
    void stop() override;

    static constexpr int kRate = 44100;

    // Called on the audio thread with what the source wrote.
    void heard(const char* data, qint64 bytes);

private:
    QList<QAudioDevice> devices_;
    std::size_t chosen_ = 0;
    std::unique_ptr<QThread> thread_;
    AudioInputRecorder* recorder_ = nullptr;  // lives on thread_
    std::mutex mutex_;
    std::vector<float> buffer_;
    std::int64_t taken_ = 0;
    Instant startAt_{};
    std::int64_t firstSample_ = -1;  // where the first sample delivered lies after startAt_; -1 before it
    bool floatSamples_ = false;
    int channels_ = 1;
};

}  // namespace tarvel
