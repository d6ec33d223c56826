// Tarvel: the program window, started in the folder that holds the data set.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "history/sqlite_history.h"
#include "qt/fonts.h"
#include "qt/launcher_problem.h"
#include "qt/qt_audio_input.h"
#include "qt/qt_audio_output.h"
#include "qt/qt_desktop.h"
#include "qt/window_placement.h"
#include "qt/wiring.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], tarvel::kLauncherProblemOption) == 0)
        return tarvel::showLauncherProblem(argc, argv, QString::fromLocal8Bit(argv[2]));
    QApplication app(argc, argv);
    // The desktop matches the window to its entry and icon by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("invalid.tarvel.Tarvel"));
    if (tarvel::installFontSubstitutes().isEmpty())
        std::fprintf(stderr,
                     "Tarvel: no Japanese font installed (IPAexGothic or Noto Sans CJK JP); "
                     "Japanese text may not show.\n");
    tarvel::QtWindow window;
    tarvel::LocalFileSystem files;
    tarvel::QtAudioOutput audio;  // without a sound device the runs are silent
    tarvel::Program program(window, files);
    // In the data folder, beside "system"; named in full in its messages.
    tarvel::SqliteHistory history(std::filesystem::absolute(tarvel::SqliteHistory::kFileName));
    program.setHistory(history);
    history.prepare();  // a long history is checked while the first pages show
    program.setAudioOutput(audio);
    tarvel::QtAudioInput microphone;
    program.setAudioInput(microphone);
    tarvel::QtDesktop desktop(window.form());
    program.setDesktop(desktop);
    tarvel::connectWindow(window, program);
    tarvel::WindowPlacement placement(*window.form());
    placement.place();
    if (!tarvel::startProgram(window, program)) return window.exitStatus();
    if (window.ended()) return window.exitStatus();
    // The window manager has put its frame round the window by now.
    QTimer::singleShot(500, window.form(), [&placement] { placement.fitWithFrame(); });
    const int status = QApplication::exec();
    placement.remember();
    return status;
}
