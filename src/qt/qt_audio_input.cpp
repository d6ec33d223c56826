#include "qt/qt_audio_input.h"

#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <algorithm>
#include <cstring>

#include "qt/run_and_wait.h"
#include "ui/clock.h"

namespace tarvel {
namespace {

constexpr qsizetype kBufferBytes = 4096;  // about 46 ms of 16-bit mono at 44.1 kHz

// The device the source writes into: hands every write to the input.
class Sink : public QIODevice {
public:
    explicit Sink(QtAudioInput& input) : input_(input) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 bytes) override {
        input_.heard(data, bytes);
        return bytes;
    }

private:
    QtAudioInput& input_;
};

}  // namespace

// Lives on the microphone's thread; its members are called by name
// (callAndWait), so that nothing of the program's crosses to that thread
// inside Qt's events unseen by ThreadSanitizer.
class AudioInputRecorder : public QObject {
    Q_OBJECT

public:
    AudioInputRecorder(QtAudioInput& input, const QAudioDevice& device, const QAudioFormat& format)
        : input_(input), device_(device), format_(format) {}

    // Held by open and close while they run, and by the thread that waits for them.
    std::mutex handshake;
    bool opened = false;  // by open

    Q_INVOKABLE void open() {
        const std::lock_guard order(handshake);
        source_ = std::make_unique<QAudioSource>(device_, format_);
        source_->setBufferSize(kBufferBytes);
        sink_ = std::make_unique<Sink>(input_);
        source_->start(sink_.get());
        opened = source_->error() == QAudio::NoError && source_->state() != QAudio::StoppedState;
    }
    Q_INVOKABLE void close() {
        const std::lock_guard order(handshake);
        if (source_) source_->stop();
        source_.reset();
        sink_.reset();
    }

private:
    QtAudioInput& input_;
    QAudioDevice device_;
    QAudioFormat format_;
    std::unique_ptr<QAudioSource> source_;
    std::unique_ptr<Sink> sink_;
};

QtAudioInput::QtAudioInput() = default;

QtAudioInput::~QtAudioInput() { stop(); }

std::vector<std::string> QtAudioInput::deviceNames() {
    devices_ = QMediaDevices::audioInputs();
    std::vector<std::string> names;
    for (const QAudioDevice& device : devices_) names.push_back(device.description().toStdString());
    if (chosen_ >= names.size()) chosen_ = 0;
    return names;
}

bool QtAudioInput::start(Instant at) {
    stop();
    if (devices_.isEmpty()) deviceNames();
    if (chosen_ >= static_cast<std::size_t>(devices_.size())) return false;
    const QAudioDevice device = devices_[static_cast<qsizetype>(chosen_)];
    QAudioFormat format;
    format.setSampleRate(kRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        format.setSampleFormat(QAudioFormat::Float);
        if (!device.isFormatSupported(format)) return false;
    }
    floatSamples_ = format.sampleFormat() == QAudioFormat::Float;
    channels_ = format.channelCount();
    {
        const std::lock_guard lock(mutex_);
        buffer_.clear();
        taken_ = 0;
        startAt_ = at;
        firstSample_ = -1;
    }
    // Made and moved before its thread starts, which orders the one before
    // the other where ThreadSanitizer sees it.
    thread_ = std::make_unique<QThread>();
    recorder_ = new AudioInputRecorder(*this, device, format);
    recorder_->moveToThread(thread_.get());
    thread_->start();
    callAndWait(recorder_, "open", recorder_->handshake);
    const bool opened = recorder_->opened;
    if (!opened) stop();
    return opened;
}

void QtAudioInput::heard(const char* data, qint64 bytes) {
    const std::lock_guard lock(mutex_);
    if (firstSample_ < 0) {
        // The device takes a while to start: place its first sample on the
        // run's clock, from when it arrived and how many came with it.
        const auto arrived = (SteadyClock().now() - startAt_).count() * kRate / 1000000;
        const auto delivered = bytes / static_cast<qint64>(floatSamples_ ? sizeof(float) : sizeof(qint16));
        firstSample_ = std::max<std::int64_t>(0, arrived - delivered);
    }
    if (floatSamples_) {
        const auto count = static_cast<std::size_t>(bytes) / sizeof(float);
        const std::size_t at = buffer_.size();
        buffer_.resize(at + count);
        std::memcpy(buffer_.data() + at, data, count * sizeof(float));
        return;
    }
    const auto count = static_cast<std::size_t>(bytes) / sizeof(qint16);
    buffer_.reserve(buffer_.size() + count);
    for (std::size_t i = 0; i < count; ++i) {
        qint16 sample = 0;
        std::memcpy(&sample, data + i * sizeof(qint16), sizeof sample);
        buffer_.push_back(static_cast<float>(sample) / 32768.0f);
    }
}

AudioBlock QtAudioInput::take(Instant) {
    AudioBlock block;
    const std::lock_guard lock(mutex_);
    block.first = std::max<std::int64_t>(firstSample_, 0) + taken_;
    block.samples.swap(buffer_);
    taken_ += static_cast<std::int64_t>(block.samples.size());
    return block;
}

void QtAudioInput::stop() {
    if (!thread_) return;
    // Its last work on its thread is ordered before it is deleted here.
    callAndWait(recorder_, "close", recorder_->handshake);
    thread_->quit();
    thread_->wait();
    thread_.reset();
    delete recorder_;
    recorder_ = nullptr;
    const std::lock_guard lock(mutex_);
    buffer_.clear();
}

}  // namespace tarvel

#include "qt_audio_input.moc"
