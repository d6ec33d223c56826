// tarvel-drive [--real-time] [--trace] [--today YYYY-MM-DD] [--audio-out FILE.wav] [--sound]
//              [--listen FILE.wav] [SCRIPT]
// Runs Tarvel in the current folder on the offscreen platform and plays the
// script (a file, or standard input) against its window.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

#include "drive/driver.h"
#include "qt/fonts.h"

namespace {

int usage() {
    std::cerr << "usage: tarvel-drive [--real-time] [--trace] [--today YYYY-MM-DD] [--audio-out FILE.wav] [--sound]\n"
                 "                    [--listen FILE.wav] [SCRIPT]\n"
                 "commands: click NAME | key NAME | after MS click NAME | after MS click-at X Y | after MS key NAME |\n"
                 "          after MS close | after MS shot FILE.png | close | wait MS | choose NAME INDEX |\n"
                 "          today YYYY-MM-DD | dump | shot FILE.png | save-as PATH | save-cancel | confirm yes|no\n"
                 "          | resize W H\n";
    return 2;
}

bool parseDate(const char* text, tarvel::CalendarDate& date) {
    return std::sscanf(text, "%4d-%2d-%2d", &date.year, &date.month, &date.day) == 3 && date.month >= 1 &&
           date.month <= 12 && date.day >= 1 && date.day <= 31;
}

}  // namespace

int main(int argc, char** argv) {
    tarvel::DriverOptions options;
    const char* scriptFile = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--real-time") == 0) {
            options.realTime = true;
        } else if (std::strcmp(argv[i], "--trace") == 0) {
            options.trace = true;
        } else if (std::strcmp(argv[i], "--today") == 0 && i + 1 < argc) {
            tarvel::CalendarDate date;
            if (!parseDate(argv[++i], date)) return usage();
            options.today = date;
        } else if (std::strcmp(argv[i], "--listen") == 0 && i + 1 < argc) {
            options.listen = argv[++i];
        } else if (std::strcmp(argv[i], "--audio-out") == 0 && i + 1 < argc) {
            options.audioOut = argv[++i];
        } else if (std::strcmp(argv[i], "--sound") == 0) {
            options.sound = true;  // the device plays in real time only
            options.realTime = true;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return usage();
        } else if (!scriptFile) {
            scriptFile = argv[i];
        } else {
            return usage();
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tarvel::installFontSubstitutes();

    std::ifstream file;
    if (scriptFile && std::strcmp(scriptFile, "-") != 0) {
        file.open(scriptFile);
        if (!file) {
            std::cerr << "tarvel-drive: cannot read " << scriptFile << "\n";
            return 2;
        }
    }
    std::istream& script = file.is_open() ? static_cast<std::istream&>(file) : std::cin;
    tarvel::Driver driver(options);
    return driver.run(script, scriptFile ? scriptFile : "stdin");
}
