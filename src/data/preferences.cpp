#include "data/preferences.h"

#include <charconv>
#include <string>

namespace tarvel {

Preferences readPreferences(FileSystem& files) {
    Preferences preferences;
    const TextFile file = files.readText(std::string(kPreferencesFile));
    if (!file.ok) return preferences;
    for (const std::string& line : file.lines) {
        constexpr std::string_view kA4 = "a4=";
        if (line.rfind(kA4, 0) != 0) continue;
        int hz = 0;
        const char* end = line.data() + line.size();
        const auto [at, error] = std::from_chars(line.data() + kA4.size(), end, hz);
        if (error == std::errc{} && at == end && hz >= kLowestA4 && hz <= kHighestA4) preferences.a4Hz = hz;
    }
    return preferences;
}

FileResult writePreferences(FileSystem& files, const Preferences& preferences) {
    return files.writeFile(std::string(kPreferencesFile), "a4=" + std::to_string(preferences.a4Hz) + "\n");
}

}  // namespace tarvel
