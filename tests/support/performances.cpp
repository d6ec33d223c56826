#include "support/performances.h"

#include <chrono>
#include <ctime>
#include <fstream>
#include <sstream>

#include "audio/wav_file_input.h"
#include "data/data_paths.h"
#include "data/text_lines.h"
#include "listen/pitch_tracker.h"
#include "run/note_mapping.h"

namespace tarvel::test {
namespace {

constexpr double kCountInMs = 1500;
constexpr std::size_t kBlock = 441;  // 10 ms, about what a pump takes in at a time

double cpuMs() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace

std::string Performance::expectedMarks(std::size_t notes) const {
    std::string marks(notes, 'o');
    for (const auto& [n, kind] : slips)
        if (static_cast<std::size_t>(n) < notes) marks[static_cast<std::size_t>(n)] = kind == "silent" ? '-' : 'x';
    return marks;
}

std::vector<Performance> readPlan(const std::filesystem::path& plan) {
    std::vector<Performance> performances;
    std::ifstream in(plan);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        Performance p;
        if (!(words >> p.name >> p.system >> p.pairing >> p.key >> p.tempo)) continue;
        std::string word;
        while (words >> word) {
            if (word.rfind("late=", 0) == 0) p.lateMs = std::stoi(word.substr(5));
            if (const auto colon = word.find(':'); colon != std::string::npos)
                p.slips[std::stoi(word.substr(0, colon))] = word.substr(colon + 1);
        }
        performances.push_back(p);
    }
    return performances;
}

Heard hearPerformance(const Performance& p, const std::filesystem::path& dataDir, const std::filesystem::path& renders,
                      const JudgeRule& rule) {
    Heard heard;
    std::ifstream exerciseFile(dataDir / nativePath(exercisePath(p.system, p.pairing, p.key)), std::ios::binary);
    const auto lines = splitLines(std::string(std::istreambuf_iterator<char>(exerciseFile), {}));
    auto read = readExercise(lines, p.pairing, false);
    if (!std::holds_alternative<LoadedExercise>(read)) {
        heard.error = "the exercise of " + p.name + " cannot be read";
        return heard;
    }
    const MappedNotes& notes = std::get<LoadedExercise>(read).notes;
    std::vector<int> expected;
    for (const std::int16_t line : notes.Unshi_no) expected.push_back(soundingPitch(line));

    const WavContent wav = readWavMono((renders / (p.name + ".wav")).string());
    if (!wav.error.empty()) {
        heard.error = wav.error;
        return heard;
    }
    const double beat = beatLength(std::to_string(p.tempo));
    std::vector<double> beats;
    for (std::size_t n = 0; n < expected.size(); ++n)
        beats.push_back(kCountInMs + (4.0 + static_cast<double>(n)) * beat);

    const double cpuBefore = cpuMs();
    AubioPitchTracker tracker(wav.rate);
    std::vector<PitchFrame> frames;
    for (std::size_t at = 0; at < wav.samples.size(); at += kBlock)
        tracker.feed(wav.samples.data() + at, std::min(kBlock, wav.samples.size() - at), frames);
    heard.trackMs = cpuMs() - cpuBefore;

    const auto judgeStart = std::chrono::steady_clock::now();
    heard.judgement = judgeRun(frames, wav.rate, beats, beat, expected, rule);
    heard.judgeMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - judgeStart).count();
    heard.audioMs = 1000.0 * static_cast<double>(wav.samples.size()) / wav.rate;
    heard.notes = expected.size();
    heard.ok = true;
    return heard;
}

}  // namespace tarvel::test
