#include "builder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSvgGenerator>

#include <string>
#include <vector>

#include "app/choices.h"
#include "button_pictures.h"
#include "data/data_paths.h"
#include "data/file_system.h"
#include "finger_pictures.h"
#include "fonts.h"
#include "gif_writer.h"
#include "icon.h"
#include "keys/key_table.h"
#include "legend.h"
#include "mini_score.h"
#include "now_marks.h"
#include "staff_pictures.h"

#ifdef TARVEL_HAVE_MUSIC
#include "music.h"
#endif

namespace tarvel::dataset {
namespace {

QString filePath(const QString& outDir, std::string_view dataPath) {
    return QDir(outDir).filePath(QString::fromStdString(nativePath(dataPath).generic_string()));
}

// Writes `bytes` to `path` unless the file holds them already.
void writeIfChanged(const QString& path, const QByteArray& bytes, BuildSummary& summary) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.size() == bytes.size() && existing.readAll() == bytes) {
        ++summary.filesUnchanged;
        return;
    }
    existing.close();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) throw BuildError("cannot create the folder " + folder.toStdString());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw BuildError("cannot write " + path.toStdString() + ": " + file.errorString().toStdString());
    ++summary.filesWritten;
}

void writePictures(const QString& outDir, const std::vector<Picture>& pictures, BuildSummary& summary,
                   bool twins = false) {
    for (const Picture& picture : pictures) {
        const std::string path = twins ? twinPicture(picture.dataPath) : picture.dataPath;
        QByteArray bytes;
        try {
            bytes = gifBytes(picture.drawing, picture.matte);
        } catch (const BuildError& error) {
            throw BuildError(path + ": " + error.what());
        }
        writeIfChanged(filePath(outDir, path), bytes, summary);
    }
}

// Every picture, and beside each its twin drawn at twice the size by the same code.
void writeEveryPicture(const QString& outDir, BuildSummary& summary) {
    for (const bool twins : {false, true}) {
        const DrawingScale scale(twins ? kTwinScale : 1);
        writePictures(outDir, buttonPictures(), summary, twins);
        writePictures(outDir, staffPictures(), summary, twins);
        writePictures(outDir, fingerPictures(), summary, twins);
        writePictures(outDir, helpLegendPictures(), summary, twins);
        writePictures(outDir, nowMarkPictures(), summary, twins);
        writePictures(outDir, miniScorePictures(), summary, twins);
    }
}

// Each of the 174 result folders holds one record; a folder without one gets
// the initial record, a folder with one is left exactly as it is.
void writeResultFolders(const QString& outDir, BuildSummary& summary) {
    LocalFileSystem files(outDir.toStdString());
    for (const SystemChoice& system : kSystemChoices)
        for (const PairingChoice& pairing : kPairingChoices)
            for (const KeyEntry& key : Key_tbl) {
                const std::string folder = Result_dir(system.setting, pairing.setting, key.code);
                if (!files.firstOrdinaryFile(folder).empty()) {
                    ++summary.recordsKept;
                    continue;
                }
                if (const FileResult made = files.createFolder(folder); made.status == FileResult::Failed)
                    throw BuildError("cannot create the result folder " + folder + ": " + made.error);
                const FileResult record = files.createFile(folder, std::string(kInitialRecordName));
                if (record.status == FileResult::Failed)
                    throw BuildError("cannot create the record in " + folder + ": " + record.error);
                ++summary.recordsCreated;
            }
}

#ifdef TARVEL_HAVE_MUSIC
QByteArray crlfLines(const std::vector<std::string>& lines) {
    QByteArray bytes;
    for (const std::string& line : lines) bytes.append(line.data(), static_cast<qsizetype>(line.size())).append("\r\n");
    return bytes;
}

void writeContent(const QString& outDir, BuildSummary& summary) {
    for (const SystemChoice& system : kSystemChoices) {
        writeIfChanged(filePath(outDir, system.chart), crlfLines(fingeringChart(system.setting)), summary);
        for (const PairingChoice& pairing : kPairingChoices)
            for (const KeyEntry& key : Key_tbl)
                writeIfChanged(filePath(outDir, exercisePath(system.setting, pairing.setting, key.code)),
                               crlfLines(exercise(system.setting, pairing.setting, key.code)), summary);
    }
    summary.contentWritten = true;
}
#endif

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "png")) throw BuildError("cannot encode the icon as PNG");
    return bytes;
}

// The window's icon, and for the desktop's menus the same drawing at 256 px
// and as SVG.
void writeIcon(const QString& outDir, BuildSummary& summary) {
    writeIfChanged(QDir(outDir).filePath("tarvel.png"), pngBytes(drawTarvelIcon()), summary);
    writeIfChanged(QDir(outDir).filePath("tarvel-256.png"), pngBytes(drawTarvelIconAt(256)), summary);
    QByteArray svg;
    QBuffer buffer(&svg);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(256, 256));
    generator.setViewBox(QRectF(0, 0, 32, 32));
    generator.setTitle(QStringLiteral("Tarvel"));
    generator.setDescription(QStringLiteral("A clarinet with a note"));
    QPainter painter(&generator);
    paintTarvelIcon(painter);
    painter.end();
    writeIfChanged(QDir(outDir).filePath("tarvel.svg"), svg, summary);
}

// The legends of the diagrams, for the READMEs: beside the data set, not in it.
void writeLegends(const QString& outDir, BuildSummary& summary) {
    for (FingerSystem system : {FingerSystem::Boehm, FingerSystem::Oehler}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!drawLegend(system).image.save(&buffer, "png")) throw BuildError("cannot encode a legend as PNG");
        writeIfChanged(QDir(outDir).filePath(legendFileName(system)), bytes, summary);
    }
}

}  // namespace

BuildSummary buildDataSet(const QString& outDir) {
    requireFonts();
    BuildSummary summary;
    writeEveryPicture(outDir, summary);
    writeResultFolders(outDir, summary);
#ifdef TARVEL_HAVE_MUSIC
    writeContent(outDir, summary);
#endif
    writeIcon(outDir, summary);
    writeLegends(outDir, summary);
    return summary;
}

}  // namespace tarvel::dataset
