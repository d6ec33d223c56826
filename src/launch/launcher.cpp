// tarvel: the launcher on the PATH. It keeps the player's data folder
// ($XDG_DATA_HOME/tarvel, by default ~/.local/share/tarvel) up to date from
// the installed data set, then starts the program with that folder as its
// current folder, so that rebuilds and upgrades never touch the results.
// "tarvel --update-only" brings the folder up to date, prints where it is
// and ends.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "data/file_system.h"
#include "launch/data_folder_sync.h"

namespace fs = std::filesystem;

namespace {

fs::path playerDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') return fs::path(xdg) / "tarvel";
    if (const char* home = std::getenv("HOME"); home && home[0] != '\0') return fs::path(home) / ".local/share/tarvel";
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        std::fprintf(stderr, "tarvel: Tarvel のインストール先がわかりません（%s）\n",
                     tarvel::errorText(ec.value()).c_str());
        return 1;
    }
    const fs::path prefix = self.parent_path().parent_path();
    const fs::path dataSet = prefix / TARVEL_DATA_DIR;
    const fs::path program = prefix / TARVEL_PROGRAM;
    const fs::path data = playerDataFolder();
    if (data.empty()) {
        std::fprintf(stderr, "tarvel: XDG_DATA_HOME も HOME も設定されていないので、成績を置く場所がありません\n");
        return 1;
    }
    const tarvel::SyncReport report = tarvel::syncDataFolder(dataSet, data);
    for (const std::string& error : report.errors) std::fprintf(stderr, "tarvel: %s\n", error.c_str());
    if (!report.errors.empty()) return 1;
    if (argc == 2 && std::strcmp(argv[1], "--update-only") == 0) {
        std::printf("%s\n", data.c_str());
        return 0;
    }
    if (::chdir(data.c_str()) != 0) {
        std::fprintf(stderr, "tarvel: %s を開けません（%s）\n", data.c_str(), tarvel::errorText(errno).c_str());
        return 1;
    }
    std::vector<char*> args{const_cast<char*>(program.c_str())};
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    args.push_back(nullptr);
    ::execv(program.c_str(), args.data());
    std::fprintf(stderr, "tarvel: %s を起動できません（%s）\n", program.c_str(), tarvel::errorText(errno).c_str());
    return 1;
}
