#include "support/performances.h"

#include <chrono>
#include <ctime>
#include <fstream>
#include <sstream>

#include "audio/wav_file_input.h"
#include "data/data_paths.h"
#include "data/text_lines.h"
#include "listen/listener.h"
#include "run/note_mapping.h"

namespace tarvel::test {
namespace {

constexpr double kCountInMs = 1500;
constexpr auto kPump = std::chrono::milliseconds(10);  // about what a pump takes in at a time

double cpuMs() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace

std::string Performance::expectedMarks(std::size_t notes) const {
    std::string marks(notes, 'o');
    for (const auto& [n, kind] : slips)
        if (static_cast<std::size_t>(n) < notes && kind != "extra")
            marks[static_cast<std::size_t>(n)] = kind == "silent" ? '-' : 'x';
    return marks;
}

std::vector<int> Performance::expectedExtras() const {
    std::vector<int> extras;
    for (const auto& [n, kind] : slips)
        if (kind == "extra") extras.push_back(n + 1);
    return extras;
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
            if (word.rfind("a4=", 0) == 0) p.a4Hz = std::stoi(word.substr(3));
            if (word == "noisy") p.noisy = true;
            if (word.rfind("reverb=", 0) == 0) p.room = true;
            if (word.rfind("drift=", 0) == 0 || word.rfind("uneven=", 0) == 0) p.steadyTempo = false;
            if (const auto colon = word.find(':'); colon != std::string::npos)
                p.slips[std::stoi(word.substr(0, colon))] = word.substr(colon + 1);
        }
        performances.push_back(p);
    }
    return performances;
}

Heard hearPerformance(const Performance& p, const std::filesystem::path& dataDir, const std::filesystem::path& renders,
                      const JudgeRule& given, bool filterHum) {
    Heard heard;
    std::ifstream exerciseFile(dataDir / nativePath(exercisePath(p.system, p.pairing, p.key)), std::ios::binary);
    const auto lines = splitLines(std::string(std::istreambuf_iterator<char>(exerciseFile), {}));
    auto read = readExercise(lines, p.pairing, false);
    if (!std::holds_alternative<LoadedExercise>(read)) {
        heard.error = "the exercise of " + p.name + " cannot be read";
        return heard;
    }
    const MappedNotes& notes = std::get<LoadedExercise>(read).notes;
    for (const std::int16_t line : notes.Unshi_no) heard.expected.push_back(soundingPitch(line));

    WavFileInput input((renders / (p.name + ".wav")).string());
    if (!input.ok()) {
        heard.error = input.error();
        return heard;
    }
    heard.beatMs = beatLength(std::to_string(p.tempo));
    for (std::size_t n = 0; n < heard.expected.size(); ++n)
        heard.beats.push_back(kCountInMs + (4.0 + static_cast<double>(n)) * heard.beatMs);
    heard.rate = input.sampleRate();
    heard.audioMs = 1000.0 * static_cast<double>(input.sampleCount()) / heard.rate;

    using std::chrono::duration_cast;
    using std::chrono::microseconds;
    const auto at = [](double ms) { return duration_cast<Instant>(std::chrono::duration<double, std::milli>(ms)); };
    const double cpuBefore = cpuMs();
    Listener listener(input);
    if (!listener.start(Instant{})) {
        heard.error = "the performance " + p.name + " cannot be heard";
        return heard;
    }
    const Instant firstBeat = at(heard.beats.front());
    for (Instant t{}; t < firstBeat; t += kPump) listener.poll(t);
    if (filterHum)
        listener.endCountIn(firstBeat);
    else
        listener.poll(firstBeat);
    for (Instant t = firstBeat; t <= at(heard.audioMs) + kPump; t += kPump) listener.poll(t);
    heard.trackMs = cpuMs() - cpuBefore;
    heard.frames = listener.frames();

    JudgeRule rule = given;
    rule.a4Hz = p.a4Hz;
    const auto judgeStart = std::chrono::steady_clock::now();
    heard.judgement = judgeRun(heard.frames, input.sampleRate(), heard.beats, heard.beatMs, heard.expected, rule);
    heard.judgeMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - judgeStart).count();
    heard.notes = heard.expected.size();
    heard.ok = true;
    return heard;
}

}  // namespace tarvel::test
