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
    std::map<int, std::string> slips;  // note -> semitone, third, twelfth, silent
    // What the judge must say of every note: o, except x for a wrong pitch
    // and - for a note not played.
    std::string expectedMarks(std::size_t notes) const;
};

std::vector<Performance> readPlan(const std::filesystem::path& plan);

struct Heard {
    bool ok = false;
    std::string error;
    Judgement judgement;
    std::size_t notes = 0;
    double trackMs = 0;  // CPU time of the pitch tracking
    double judgeMs = 0;  // wall time of the judging
    double audioMs = 0;  // length of the recording
};

// Hears the render of `p` as the program would: its exercise from `dataDir`
// mapped by the loading stage, the WAV from `renders` fed through the tracker
// in blocks, and the beat grid of a run at its tempo.
Heard hearPerformance(const Performance& p, const std::filesystem::path& dataDir, const std::filesystem::path& renders,
                      const JudgeRule& rule = {});

}  // namespace tarvel::test
