// The few choices Tarvel keeps from one start to the next, in a small text
// file at the top of the data folder, one "name=value" a line. Only what the
// player chose beside the pages is kept there (the concert pitch for
// listening); every page still starts as it always did.
#pragma once

#include <string_view>

#include "data/file_system.h"

namespace tarvel {

inline constexpr std::string_view kPreferencesFile = "tarvel-preferences.txt";

// The concert pitches a player may tune to: many bands tune to 442.
inline constexpr int kLowestA4 = 438;
inline constexpr int kHighestA4 = 446;

struct Preferences {
    int a4Hz = 440;  // the concert pitch the player tunes to
};

// The file's choices; a missing or unreadable file, a line not understood or
// a value out of range leaves the default.
Preferences readPreferences(FileSystem& files);
// Writes the file whole, never half.
FileResult writePreferences(FileSystem& files, const Preferences& preferences);

}  // namespace tarvel
