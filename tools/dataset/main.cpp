// tarvel-dataset OUTDIR: writes the data set into OUTDIR/system and the
// program's icon to OUTDIR/tarvel.png.
#include <QGuiApplication>

#include <cstdio>
#include <exception>

#include "builder.h"

int main(int argc, char** argv) {
    // Drawing text needs a platform with fonts; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tarvel-dataset OUTDIR\n");
        return 2;
    }
    try {
        const tarvel::dataset::BuildSummary s = tarvel::dataset::buildDataSet(args[1]);
        std::printf("tarvel-dataset: %d files written, %d unchanged; %d initial records made, %d records kept\n",
                    s.filesWritten, s.filesUnchanged, s.recordsCreated, s.recordsKept);
        if (!s.contentWritten)
            std::printf(
                "tarvel-dataset: no charts or exercises written: the content library is not part of this build\n");
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarvel-dataset: %s\n", error.what());
        return 1;
    }
}
