// Where the sound stream's first sample leaves the device, from the played
// counts a server reports: scattered readings, a sound card's clock that
// drifts, and a stream that ran dry. Clicks placed from the origin one beat
// apart must stay one beat apart to well under a millisecond.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "audio/stream_origin.h"

namespace tarvel {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

struct Scenario {
    const char* what;
    // The device's true origin at a time (µs since the stream opened).
    std::function<double(double)> trueOrigin;
    // What the reading adds to the truth at a time: the server's scatter.
    std::function<double(double)> scatter;
    // When the stream ran dry (µs), or -1.
    double dryAt = -1;
};

double scatterBursts(double t) {
    // Every 5 s the server's latency figure is off by 6 ms for 300 ms.
    const double inCycle = std::fmod(t, 5e6);
    return inCycle > 3e6 && inCycle < 3.3e6 ? -6000 : 0;
}

TEST(StreamOrigin, ClicksABeatApartStayABeatApart) {
    const std::vector<Scenario> scenarios{
        {"steady readings", [](double) { return 0.0; }, [](double) { return 0.0; }},
        {"readings scattered in bursts", [](double) { return 0.0; }, scatterBursts},
        {"readings scattered at random", [](double) { return 0.0; },
         [](double t) { return 4000.0 * std::sin(t * 0.0037) * std::sin(t * 0.000011); }},
        {"a card clock 100 ppm slow", [](double t) { return t * 100e-6; }, scatterBursts},
        {"a stream that ran dry for 30 ms", [](double t) { return t >= 20e6 ? 30000.0 : 0.0; }, scatterBursts, 20e6},
    };
    constexpr double kTick = 2000;    // a reading every 2 ms
    constexpr double kBeat = 125000;  // 480 a minute
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.what);
        StreamOrigin origin;
        const double opened = 1e9;
        double lastBeat = -1, lastOrigin = 0, worstSpacing = 0, worstOffset = 0;
        for (double t = kTick; t < 60e6; t += kTick) {
            const double truth = s.trueOrigin(t);
            // While dry the device's count stands at what was written.
            const bool dry = s.dryAt >= 0 && t >= s.dryAt && t < s.dryAt + 30000;
            const double played = dry ? s.dryAt - s.trueOrigin(0) : t - truth + s.scatter(t);
            const double written = dry ? played : played + 40000;
            origin.reading(Instant(static_cast<Instant::rep>(opened + t)),
                           microseconds(static_cast<microseconds::rep>(played)),
                           microseconds(static_cast<microseconds::rep>(written)), t >= 3e6);
            if (t < 3e6 || std::fmod(t, kBeat) != 0) continue;  // a run starts after the pages
            ASSERT_TRUE(origin.origin());
            const double now = static_cast<double>(origin.origin()->count()) - opened;
            if (lastBeat >= 0 && !(s.dryAt >= 0 && t >= s.dryAt && t < s.dryAt + 1e6))
                worstSpacing = std::max(worstSpacing, std::abs(now - lastOrigin));
            if (!(s.dryAt >= 0 && t >= s.dryAt && t < s.dryAt + 1e6))
                worstOffset = std::max(worstOffset, std::abs(now - truth));
            lastBeat = t;
            lastOrigin = now;
        }
        EXPECT_LT(worstSpacing, 100) << "µs of change from one beat to the next";
        EXPECT_LT(worstOffset, 7000) << "µs from the true origin";
    }
}

}  // namespace
}  // namespace tarvel
