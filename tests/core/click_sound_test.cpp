// The pure parts of the audio output: instants to samples, the two clicks,
// and mixing clicks into blocks of a stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "audio/audio_output.h"

namespace tarvel {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

TEST(ClickSound, InstantsRoundToTheNearestSample) {
    struct Case {
        Instant at;
        std::int64_t sample;
    };
    const Case cases[] = {
        {milliseconds(0), 0},       {milliseconds(1500), 66150},
        {milliseconds(125), 5513},  // 5512.5 up
        {milliseconds(250), 11025}, {microseconds(11), 0},
        {microseconds(12), 1},      {milliseconds(651500), 28731150},
        {microseconds(-12), -1},    {microseconds(-11), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(sampleAt(c.at), c.sample) << c.at.count() << " µs";
    EXPECT_EQ(sampleAt(milliseconds(1000), 48000), 48000);
}

TEST(ClickSound, TwoShortClicksThatStartLoudAndEndSilent) {
    const auto& accent = clickSamples(ClickKind::Accent);
    const auto& beat = clickSamples(ClickKind::Beat);
    for (const auto* click : {&accent, &beat}) {
        ASSERT_FALSE(click->empty());
        EXPECT_LE(click->size(), static_cast<std::size_t>(kAudioRate / 20)) << "at most 50 ms";
        EXPECT_GT(std::abs(click->front()) * 32767, 100) << "the onset is its first sample";
        EXPECT_LT(std::abs(click->back()), 1e-3) << "no snap at the end";
        const float peak =
            *std::max_element(click->begin(), click->end(), [](float a, float b) { return std::abs(a) < std::abs(b); });
        EXPECT_LT(std::abs(peak), 0.5f) << "comfortable: well below full scale";
    }
    auto peakOf = [](const std::vector<float>& s) {
        float p = 0;
        for (const float v : s) p = std::max(p, std::abs(v));
        return p;
    };
    EXPECT_GT(peakOf(accent), 1.4f * peakOf(beat)) << "the accent stands out";
    // Different pitches: count sign changes over the first 20 ms.
    auto crossings = [](const std::vector<float>& s) {
        int n = 0;
        for (std::size_t i = 1; i < s.size() && i < kAudioRate / 50; ++i) n += (s[i - 1] < 0) != (s[i] < 0);
        return n;
    };
    EXPECT_GT(crossings(accent), crossings(beat) + 10);
}

TEST(ClickSound, MixerPlacesClicksAtTheirSamplesAcrossBlocks) {
    ClickMixer mixer;
    mixer.add(ClickKind::Beat, 100);
    mixer.add(ClickKind::Accent, 3000);
    const auto& beat = clickSamples(ClickKind::Beat);
    const auto& accent = clickSamples(ClickKind::Accent);
    std::vector<float> whole(6000, 0.0f);
    // In odd-sized blocks, as a sound device asks for them.
    for (std::int64_t first = 0; first < 6000; first += 333)
        mixer.mixInto(whole.data() + first, first, std::min<std::int64_t>(333, 6000 - first));
    EXPECT_EQ(whole[99], 0.0f);
    EXPECT_EQ(whole[100], beat[0]);
    EXPECT_EQ(whole[100 + 500], beat[500]);
    EXPECT_EQ(whole[2999], 0.0f);
    EXPECT_EQ(whole[3000], accent[0]);
    EXPECT_EQ(whole[3000 + 700], accent[700]);
    EXPECT_EQ(mixer.end(), 3000 + static_cast<std::int64_t>(accent.size()));
    mixer.dropBefore(3000);
    EXPECT_FALSE(mixer.empty()) << "the accent still sounds";
    mixer.dropBefore(mixer.end());
    EXPECT_TRUE(mixer.empty());
}

TEST(ClickSound, CuttingSilencesTheSoundingClickAndDropsTheRest) {
    ClickMixer mixer;
    mixer.add(ClickKind::Accent, 0);
    mixer.add(ClickKind::Beat, 5000);
    mixer.cutAt(200);
    std::vector<float> out(8000, 0.0f);
    mixer.mixInto(out.data(), 0, 8000);
    EXPECT_NE(out[199], 0.0f);
    EXPECT_TRUE(std::all_of(out.begin() + 200, out.end(), [](float v) { return v == 0.0f; }));
    EXPECT_EQ(mixer.end(), 200);
}

TEST(ClickSound, TheSilentOutputTakesEverythingAndClaimsADevice) {
    SilentAudioOutput silent;
    silent.scheduleClick(ClickKind::Accent, milliseconds(10));
    silent.stopAll();
    EXPECT_TRUE(silent.deviceAvailable()) << "no note on the tempo page for a program given no output";
}

}  // namespace
}  // namespace tarvel
