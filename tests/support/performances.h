// The rendered test performances (tests/listen/performances.plan, rendered by
// scripts/render-performances into the build folder), and how the program
// hears one of them.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "listen/judging.h"

namespace tarvel::test {

struct Performance {
    std::string name;
    std::string system, pairing, key;
    int tempo = 0;
    int lateMs = 0;
    int a4Hz = 440;
    bool noisy = false;                // rendered too loud a room to judge
    bool steadyTempo = true;           // neither drifting nor uneven
    bool room = false;                 // played in a reverberant room
    std::map<int, std::string> slips;  // note -> semitone, third, twelfth, silent, extra
    // What the judge must say of every note: o, except x for a wrong pitch
    // and - for a note not played (an extra note after a note leaves it o).
    std::string expectedMarks(std::size_t notes) const;
    // The notes an extra note is heard before.
    std::vector<int> expectedExtras() const;
    int expectedSlips() const { return static_cast<int>(slips.size()); }
};

std::vector<Performance> readPlan(const std::filesystem::path& plan);

struct Heard {
    bool ok = false;
    std::string error;
    Judgement judgement;
    std::vector<PitchFrame> frames;  // as the tracker gave them
    std::vector<double> beats;       // each note's beat, in ms from the first sample
    double beatMs = 0;
    int rate = 0;
    std::vector<int> expected;  // each note's sounding pitch
    std::size_t notes = 0;
    double trackMs = 0;  // CPU time of the pitch tracking
    double judgeMs = 0;  // wall time of the judging
    double audioMs = 0;  // length of the recording
};

// Hears the render of `p` as the program would: its exercise from `dataDir`
// mapped by the loading stage, the WAV from `renders` heard through the
// listener on a virtual clock (the room measured at the first beat, a hum
// found there filtered unless `filterHum` is off), and the beat grid of a run
// at its tempo.
Heard hearPerformance(const Performance& p, const std::filesystem::path& dataDir, const std::filesystem::path& renders,
                      const JudgeRule& rule = {}, bool filterHum = true);

}  // namespace tarvel::test
