// The Qt microphone: with no sound server at all, and through a private
// PulseAudio daemon whose null sink is heard through a remapped source (Qt
// hides monitor sources), so that a WAV played into it reaches QAudioSource.
// Qt Multimedia connects to the first sound server a process uses and never
// to another, so a test with a server of its own runs in a fresh process.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "listen/pitch_tracker.h"
#include "qt/qt_audio_input.h"
#include "support/data_folder.h"
#include "support/fresh_process.h"
#include "ui/clock.h"

namespace tarvel {
namespace {

bool onPath(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(QtAudioInput, NoSoundServerMeansNoInputAndNoWait) {
    qputenv("PULSE_SERVER", "unix:/nonexistent");
    QtAudioInput input;
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(input.deviceNames().empty());
    EXPECT_FALSE(input.start(Instant{}));
    EXPECT_TRUE(input.take(Instant{}).samples.empty());
    input.stop();
    EXPECT_LT(timer.elapsed(), 3000);
}

class PulseDaemon {
public:
    explicit PulseDaemon(const std::filesystem::path& dir) : dir_(dir) {
        const std::string env = "XDG_RUNTIME_DIR=" + dir.string() + " HOME=" + dir.string() + " ";
        socket_ = (dir / "native").string();
        started_ = std::system((env +
                                "pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes "
                                "-L 'module-native-protocol-unix socket=" +
                                socket_ + "' -L 'module-null-sink sink_name=tarvel_sink' " +
                                "-L 'module-remap-source master=tarvel_sink.monitor source_name=tarvel_mic' "
                                ">/dev/null 2>&1")
                                   .c_str()) == 0;
        env_ = env;
    }
    ~PulseDaemon() {
        if (started_) std::system((env_ + "pulseaudio --kill >/dev/null 2>&1").c_str());
    }
    bool started() const { return started_; }
    std::string server() const { return "unix:" + socket_; }
    bool play(const std::filesystem::path& wav) const {
        return std::system(("PULSE_SERVER=" + server() + " paplay -d tarvel_sink " + wav.string() + " &").c_str()) == 0;
    }

private:
    std::filesystem::path dir_;
    std::string socket_, env_;
    bool started_ = false;
};

TEST(QtAudioInput, AWavPlayedIntoAPulseAudioNullSinkIsHeard) {
    if (!onPath("pulseaudio") || !onPath("paplay") || !onPath("sox"))
        GTEST_SKIP() << "pulseaudio, paplay or sox is not installed: the real-input test is skipped";
    RUN_IN_A_FRESH_PROCESS();  // a sound server of its own
    test::DataFolder dir;
    PulseDaemon daemon(dir.root());
    if (!daemon.started()) GTEST_SKIP() << "a private pulseaudio daemon could not be started here";
    qputenv("PULSE_SERVER", daemon.server().c_str());
    const auto wav = dir.root() / "a440.wav";
    ASSERT_EQ(std::system(("sox -n -r 44100 -c 1 -b 16 " + wav.string() + " synth 2 sine 440 vol 0.5").c_str()), 0);

    QtAudioInput input;
    const auto names = input.deviceNames();
    std::size_t mic = names.size();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i].find("tarvel_mic") != std::string::npos || names[i].find("Remapped") != std::string::npos) mic = i;
    ASSERT_LT(mic, names.size()) << "the remapped source is not offered among " << names.size() << " inputs";
    input.chooseDevice(mic);
    SteadyClock clock;
    const Instant startedAt = clock.now();
    ASSERT_TRUE(input.start(startedAt));
    ASSERT_TRUE(daemon.play(wav));

    AubioPitchTracker tracker(QtAudioInput::kRate);
    std::vector<PitchFrame> frames;
    std::int64_t expectedFirst = -1, heardSamples = 0;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 3500) {
        QThread::msleep(300);  // as a run sleeps between its pumps
        const AudioBlock block = input.take(clock.now());
        if (block.samples.empty()) continue;
        if (expectedFirst < 0) {
            // The first sample lies on the run's clock: after the start, before now.
            EXPECT_GE(block.first, 0);
            EXPECT_LE(block.first, (clock.now() - startedAt).count() * QtAudioInput::kRate / 1000000);
            expectedFirst = block.first;
        }
        EXPECT_EQ(block.first, expectedFirst) << "samples are numbered without gaps";
        expectedFirst += static_cast<std::int64_t>(block.samples.size());
        heardSamples += static_cast<std::int64_t>(block.samples.size());
        tracker.feed(block.samples.data(), block.samples.size(), frames);
    }
    input.stop();
    int a440 = 0;
    for (const PitchFrame& f : frames)
        if (f.confidence >= 0.5 && f.levelDb > -50 && std::abs(f.midi - 69) < 0.5) ++a440;
    // Two seconds of A 440 are about 340 frames; the stream's start and end may
    // cut a little.
    EXPECT_GT(a440, 250) << "of " << frames.size() << " frames";
    // The null sink runs only while something plays into it: the two seconds
    // of the file, taken in pieces while this thread slept between them.
    EXPECT_GT(heardSamples, 3 * QtAudioInput::kRate / 2);
}

}  // namespace
}  // namespace tarvel
