// Helpers shared by the tests: note names as the reference writes them, and
// the exercise files as the program reads them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "music.h"
#include "run/note_mapping.h"

namespace tarvel::dataset::test {

inline constexpr std::string_view kSystems[] = {"Boe", "Oeh"};
inline constexpr std::string_view kPairings[] = {"BB", "BC", "BA"};
inline constexpr std::string_view kNotPlayableLine = "X|XXXX|XXXX";

// "F#3", "Bb4", "B#4", "Cb5", "Fx4" (double sharp): the chart block of the
// written pitch on the B-flat clarinet (block 0 = D3).
inline int blockOf(std::string_view name) {
    static constexpr std::string_view letters = "CDEFGAB";
    static constexpr int semitones[] = {0, 2, 4, 5, 7, 9, 11};
    const auto letter = letters.find(name.at(0));
    if (letter == std::string_view::npos) throw std::invalid_argument(std::string(name));
    int shift = 0;
    std::size_t i = 1;
    for (; i < name.size() && !(name[i] >= '0' && name[i] <= '9'); ++i)
        shift += name[i] == '#'   ? 1
                 : name[i] == 'x' ? 2
                 : name[i] == 'b' ? -1
                                  : throw std::invalid_argument(std::string(name));
    const int octave = std::stoi(std::string(name.substr(i)));
    return 12 * (octave + 1) + semitones[letter] + shift - 50;
}

struct Loaded {
    std::vector<std::string> lines;
    tarvel::LoadedExercise exercise;
};

// The file's lines as the builder writes them, loaded by the program's reader.
inline Loaded load(std::string_view system, std::string_view pairing, std::string_view key,
                   bool showKeyInNotes = false) {
    Loaded l;
    l.lines = exercise(system, pairing, key);
    auto read = tarvel::readExercise(l.lines, pairing, showKeyInNotes);
    if (auto* error = std::get_if<tarvel::ExerciseError>(&read))
        throw std::runtime_error(std::string(system) + "/" + std::string(pairing) + "/" + std::string(key) + ": " +
                                 tarvel::describeForChecker(*error));
    l.exercise = std::get<tarvel::LoadedExercise>(read);
    return l;
}

}  // namespace tarvel::dataset::test
