// tarvel: the launcher on the PATH. It keeps the player's data folder
// ($XDG_DATA_HOME/tarvel, by default ~/.local/share/tarvel) up to date from
// the installed data set, then starts the program with that folder as its
// current folder, so that rebuilds and upgrades never touch the results.
// "tarvel --update-only" brings the folder up to date, prints where it is
// and ends. What keeps it from starting Tarvel it says in a window too.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "data/file_system.h"
#include "launch/data_folder_sync.h"

namespace fs = std::filesystem;

namespace {

// The launcher started from the desktop's menu has no terminal: what kept it
// from starting Tarvel goes to standard error and, where there is a desktop,
// into a small window (Tarvel's own program shows it), or else into the
// desktop's notification. Never returns.
[[noreturn]] void cannotStart(const fs::path& program, const std::vector<std::string>& problems, bool inAWindow) {
    std::string text;
    for (const std::string& problem : problems) {
        std::fprintf(stderr, "tarvel: %s\n", problem.c_str());
        text += (text.empty() ? "" : "\n") + problem;
    }
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (inAWindow && ((x && *x) || (wayland && *wayland))) {
        std::fflush(stderr);
        if (!program.empty()) {
            const char* args[] = {program.c_str(), "--launcher-problem", text.c_str(), nullptr};
            ::execv(program.c_str(), const_cast<char* const*>(args));
        }
        const char* notify[] = {"notify-send", "--app-name=Tarvel", "Tarvel を起動できません", text.c_str(), nullptr};
        ::execvp("notify-send", const_cast<char* const*>(notify));
    }
    std::exit(1);
}

fs::path playerDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') return fs::path(xdg) / "tarvel";
    if (const char* home = std::getenv("HOME"); home && home[0] != '\0') return fs::path(home) / ".local/share/tarvel";
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    // "--update-only" is for a terminal: it says what went wrong there alone.
    const bool updateOnly = argc == 2 && std::strcmp(argv[1], "--update-only") == 0;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        cannotStart({}, {"Tarvel のインストール先がわかりません（" + tarvel::errorText(ec.value()) + "）"},
                    !updateOnly);
    const fs::path prefix = self.parent_path().parent_path();
    const fs::path dataSet = prefix / TARVEL_DATA_DIR;
    const fs::path program = prefix / TARVEL_PROGRAM;
    const fs::path data = playerDataFolder();
    if (data.empty())
        cannotStart(program, {"XDG_DATA_HOME も HOME も設定されていないので、成績を置く場所がありません"}, !updateOnly);
    const tarvel::SyncReport report = tarvel::syncDataFolder(dataSet, data);
    if (!report.errors.empty()) cannotStart(program, report.errors, !updateOnly);
    if (updateOnly) {
        std::printf("%s\n", data.c_str());
        return 0;
    }
    if (::chdir(data.c_str()) != 0)
        cannotStart(program, {data.string() + " を開けません（" + tarvel::errorText(errno) + "）"}, true);
    std::vector<char*> args{const_cast<char*>(program.c_str())};
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    args.push_back(nullptr);
    ::execv(program.c_str(), args.data());
    // Tarvel's own program cannot show it: the desktop's notification may.
    cannotStart({}, {program.string() + " を起動できません（" + tarvel::errorText(errno) + "）"}, true);
}
