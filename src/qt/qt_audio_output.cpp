#include "qt/qt_audio_output.h"

#include "audio/stream_origin.h"
#include "qt/run_and_wait.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>

namespace tarvel {
namespace {

// 40 ms: a server that falls behind and then renders a burst at once, or a
// feeder thread held up under load, ran a 20 ms buffer dry now and then, and
// every click after it sounded late. Clicks are asked for a beat ahead (125 ms
// at the fastest tempo), so they are still placed before their samples are
// written; a click due within 40 ms of a cancel may still sound.
constexpr std::int64_t kBufferFrames = kAudioRate * 40 / 1000;
constexpr int kTickMs = 2;                                   // the stream is topped up every tick
constexpr auto kLookAhead = std::chrono::milliseconds(150);  // clicks are placed once this close
constexpr auto kRunPause = std::chrono::milliseconds(3000);  // longer than the slowest beat (2 s)
constexpr std::size_t kLatencyReadings = 20000;

Instant steadyNow() { return std::chrono::duration_cast<Instant>(std::chrono::steady_clock::now().time_since_epoch()); }

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

}  // namespace

// Lives on the audio thread. The stream stays open from the start of the
// program to its end: a server can take a second or more to bring a newly
// opened stream down to its short latency, longer than a count-in. Its
// members are called by name (callAndWait), so that nothing of the program's
// crosses to the audio thread inside Qt's events unseen by ThreadSanitizer.
class AudioOutputStream : public QObject {
    Q_OBJECT

public:
    using Shared = QtAudioOutput::Shared;
    using Pending = QtAudioOutput::Pending;

    AudioOutputStream(QAudioDevice device, Shared& shared) : device_(std::move(device)), shared_(shared), timer_(this) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(kTickMs);
        connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
    }

    // Held by open and close while they run, and by the thread that waits
    // for them.
    std::mutex handshake;

    Q_INVOKABLE void open() {
        const std::lock_guard order(handshake);
        if (!shared_.available) return;
        QAudioFormat format;
        format.setSampleRate(kAudioRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        sink_ = new QAudioSink(device_, format, this);
        sink_->setBufferSize(static_cast<qsizetype>(kBufferFrames * 2));
        io_ = sink_->start();
        if (!io_ || sink_->error() != QAudio::NoError) {
            stop();  // no sound then, but the program goes on
            return;
        }
        timer_.start();
    }

    // Drops every click; what is already buffered (under 40 ms) plays out.
    Q_INVOKABLE void silence() { mixer_.clear(); }

    Q_INVOKABLE void close() {
        const std::lock_guard order(handshake);
        stop();
    }

private:
    void stop() {
        timer_.stop();
        if (sink_) {
            sink_->stop();
            delete sink_;
        }
        sink_ = nullptr;
        io_ = nullptr;
        mixer_.clear();
        shared_.available = false;
    }

    void tick() {
        if (!sink_) return;
        if (sink_->state() == QAudio::StoppedState) {  // the server has gone
            stop();
            return;
        }
        const Instant now = steadyNow();
        const auto played = std::chrono::microseconds(sink_->processedUSecs());
        bool clicking = !mixer_.empty();
        {
            const std::lock_guard lock(shared_.mutex);
            clicking = clicking || !shared_.pending.empty();
        }
        // A run asks for its clicks a beat ahead, so between two of them the
        // stream may hold none for a moment: it is a run's until it has been
        // without clicks for longer than the slowest beat.
        if (clicking) lastClick_ = now;
        const bool inARun = lastClick_ && now - *lastClick_ < kRunPause;
        origin_.reading(now, played, std::chrono::microseconds(written_ * 1'000'000 / kAudioRate), inARun);
        placeDueClicks(now);
        write(played);
        const std::lock_guard lock(shared_.mutex);
        shared_.health.dryRuns = origin_.dryRuns();
        if (played.count() > 0) {
            const double ahead =
                static_cast<double>(written_) * 1000.0 / kAudioRate - static_cast<double>(played.count()) / 1000.0;
            if (shared_.latenciesMs.size() >= kLatencyReadings)
                shared_.latenciesMs.erase(shared_.latenciesMs.begin(),
                                          shared_.latenciesMs.begin() + kLatencyReadings / 2);
            shared_.latenciesMs.push_back(ahead);
        }
    }

    void placeDueClicks(Instant now) {
        const std::optional<Instant> origin = origin_.origin();
        if (!origin) return;
        const std::lock_guard lock(shared_.mutex);
        std::erase_if(shared_.pending, [&](const Pending& click) {
            if (click.at - now > kLookAhead) return false;
            // Asked for too late: it sounds as soon as it can.
            const std::int64_t sample = sampleAt(click.at - *origin);
            if (sample < written_) ++shared_.health.lateClicks;
            mixer_.add(click.kind, std::max(sample, written_));
            return true;
        });
    }

    // Keeps the stream one buffer ahead of what the server has taken, or
    // more when the server asks for it.
    void write(std::chrono::microseconds played) {
        const std::int64_t behind = sampleAt(played) + kBufferFrames - written_;
        const std::int64_t frames = std::max<std::int64_t>(sink_->bytesFree() / 2, behind);
        if (frames <= 0) return;
        block_.assign(static_cast<std::size_t>(frames), 0.0f);
        mixer_.mixInto(block_.data(), written_, frames);
        samples_.resize(block_.size());
        for (std::size_t i = 0; i < block_.size(); ++i)
            samples_[i] = static_cast<std::int16_t>(std::lround(std::clamp(block_[i], -1.0f, 1.0f) * 32767.0f));
        const qint64 bytes = io_->write(reinterpret_cast<const char*>(samples_.data()),
                                        static_cast<qint64>(samples_.size() * sizeof(std::int16_t)));
        if (bytes <= 0) return;
        written_ += bytes / 2;
        mixer_.dropBefore(written_);
        const std::lock_guard lock(shared_.mutex);
        if (shared_.keepWritten)
            shared_.written.insert(shared_.written.end(), samples_.begin(), samples_.begin() + bytes / 2);
    }

    QAudioDevice device_;
    Shared& shared_;
    QTimer timer_;
    QAudioSink* sink_ = nullptr;
    QIODevice* io_ = nullptr;
    ClickMixer mixer_;
    std::int64_t written_ = 0;  // frames written since the stream opened
    StreamOrigin origin_;
    std::optional<Instant> lastClick_;  // when a click last waited or sounded
    std::vector<float> block_;
    std::vector<std::int16_t> samples_;
};

QtAudioOutput::QtAudioOutput() {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    shared_.available = !QMediaDevices::audioOutputs().isEmpty() && !device.isNull();
    stream_ = new AudioOutputStream(device, shared_);
    stream_->moveToThread(&thread_);
    thread_.setObjectName(QStringLiteral("tarvel-audio"));
    thread_.start(QThread::TimeCriticalPriority);
    // Waits for the stream, so that whether there is sound is known from here on.
    callAndWait(stream_, "open", stream_->handshake);
}

QtAudioOutput::~QtAudioOutput() {
    // The stream's last work on its thread, ordered before it is deleted here.
    callAndWait(stream_, "close", stream_->handshake);
    thread_.quit();
    thread_.wait();
    delete stream_;
}

void QtAudioOutput::scheduleClick(ClickKind kind, Instant at) {
    if (!shared_.available) return;
    const std::lock_guard lock(shared_.mutex);
    shared_.pending.push_back(Pending{kind, at});
}

void QtAudioOutput::stopAll() {
    {
        const std::lock_guard lock(shared_.mutex);
        shared_.pending.clear();
    }
    QMetaObject::invokeMethod(stream_, "silence", Qt::QueuedConnection);
}

QtAudioOutput::Health QtAudioOutput::health() {
    const std::lock_guard lock(shared_.mutex);
    return shared_.health;
}

void QtAudioOutput::keepWritten() {
    const std::lock_guard lock(shared_.mutex);
    shared_.keepWritten = true;
    shared_.written.clear();
}

std::vector<std::int16_t> QtAudioOutput::written() {
    const std::lock_guard lock(shared_.mutex);
    return shared_.written;
}

double QtAudioOutput::outputLatencyMs() {
    const std::lock_guard lock(shared_.mutex);
    return median(shared_.latenciesMs);
}

}  // namespace tarvel

#include "qt_audio_output.moc"
