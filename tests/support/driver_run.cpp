#include "support/driver_run.h"

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace tarvel::test {

namespace fs = std::filesystem;

BuiltDataSet::BuiltDataSet() {
    fs::copy(fs::path(TARVEL_BUILT_DATA) / "system", root() / "system", fs::copy_options::recursive);
}

namespace {

std::string quote(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs a shell command in the folder, with its standard error in a file beside.
DriverResult runIn(const DataFolder& folder, const std::string& commandLine) {
    const fs::path errorFile = folder.root().parent_path() / (folder.root().filename().string() + ".stderr");
    const std::string command =
        "cd " + quote(folder.root().string()) + " && " + commandLine + " 2>" + quote(errorFile.string());
    DriverResult result;
    FILE* out = ::popen(command.c_str(), "r");
    if (!out) return result;
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;) text.append(buffer, n);
    const int status = ::pclose(out);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) result.lines.push_back(line);
    result.errors = slurp(errorFile);
    fs::remove(errorFile);
    return result;
}

}  // namespace

DriverResult runDriver(const DataFolder& folder, const std::string& options, const std::string& script,
                       bool keepLocale) {
    const fs::path scriptFile = folder.root().parent_path() / (folder.root().filename().string() + ".script");
    std::ofstream(scriptFile) << script;
    const std::string locale = keepLocale ? "" : "env -u LANG -u LC_ALL -u LC_CTYPE -u LC_TIME ";
    DriverResult result = runIn(folder, locale + "QT_QPA_PLATFORM=offscreen " + quote(TARVEL_DRIVE) + " " + options +
                                            " " + quote(scriptFile.string()));
    fs::remove(scriptFile);
    return result;
}

DriverResult runChecker(const DataFolder& folder) {
    return runIn(folder, "QT_QPA_PLATFORM=offscreen " + quote(TARVEL_CHECK) + " .");
}

std::vector<std::string> linesStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> result;
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0) result.push_back(line);
    return result;
}

long long traceTime(const std::string& line) { return line.rfind("t=", 0) == 0 ? std::stoll(line.substr(2)) : -1; }

}  // namespace tarvel::test
