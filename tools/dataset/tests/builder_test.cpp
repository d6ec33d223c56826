// The builder on a real folder: the complete tree, the same bytes on a second
// run, and the players' records left alone.
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "app/choices.h"
#include "builder.h"
#include "data/data_paths.h"
#include "fonts.h"
#include "gif_writer.h"
#include "keys/key_table.h"
#include "picture_support.h"
#include "run/note_mapping.h"
#include "ui/page_pictures.h"

namespace tarvel::dataset {
namespace {

const QString kRecord = QString::fromUtf8(kInitialRecordName.data(), static_cast<int>(kInitialRecordName.size()));

QString pathIn(const QString& root, std::string_view dataPath) {
    return QDir(root).filePath(QString::fromStdString(nativePath(dataPath).generic_string()));
}

// A picture's file name and its twin's, drawn at twice the size beside it.
void insertWithTwin(std::set<QString>& names, const QString& name) {
    names.insert(name);
    names.insert(QString::fromStdString(twinPicture(name.toStdString())));
}

std::map<QString, QByteArray> digests(const QString& root) {
    std::map<QString, QByteArray> all;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        all[QDir(root).relativeFilePath(path)] = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    }
    return all;
}

QStringList ordinaryFiles(const QString& folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

void expectGif(const QString& path) {
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), "gif") << path.toStdString();
    EXPECT_TRUE(reader.read().hasAlphaChannel()) << path.toStdString();
}

class Builder : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        ASSERT_TRUE(dir->isValid());
        first = buildDataSet(dir->path());
    }
    static void TearDownTestSuite() { delete dir; }
    static QString root() { return dir->path(); }
    static QTemporaryDir* dir;
    static BuildSummary first;
};
QTemporaryDir* Builder::dir = nullptr;
BuildSummary Builder::first;

// === The tree ===

TEST_F(Builder, PagePictures_EveryFileOfTheTable) {
    for (const PagePicture& row : pagePictureTable()) expectGif(pathIn(root(), row.file));
    expectGif(pathIn(root(), kStaffPicture));
    expectGif(pathIn(root(), kCancelPicture));
}

TEST_F(Builder, NotePictures_EveryPositionFromC3ToC7WithEverySign) {
    std::set<QString> expected;
    const std::string letters = "fcgdaeb";
    for (int octave = 1; octave <= 5; ++octave)
        for (int letter = 0; letter < 7; ++letter) {
            if (octave == 5 && letters[letter] != 'c') continue;
            for (int sign = 0; sign <= 5; ++sign)
                insertWithTwin(expected, QString::number(100 * octave + 10 * letter + sign) + ".gif");
        }
    ASSERT_EQ(expected.size(), 2 * 174u);
    const QStringList written = ordinaryFiles(QDir(root()).filePath("system/Linehyouji"));
    EXPECT_EQ(std::set<QString>(written.begin(), written.end()), expected);
    expectGif(pathIn(root(), notePicture(115)));
    expectGif(pathIn(root(), notePicture(515)));
}

TEST_F(Builder, KeySignatures_ZeroToSevenSharpsAndFlatsByTheLoadersNames) {
    std::set<QString> expected;
    for (char sign : {'#', 'b'})
        for (int count = 0; count <= 7; ++count) {
            const std::string name = keySignaturePicture(keySignature(sign, count, false));
            expectGif(pathIn(root(), name));
            insertWithTwin(expected, QFileInfo(pathIn(root(), name)).fileName());
        }
    const QStringList written = ordinaryFiles(QDir(root()).filePath("system/hyouji/choshi"));
    EXPECT_EQ(std::set<QString>(written.begin(), written.end()), expected);
    EXPECT_TRUE(QFile::exists(pathIn(root(), "system\\hyouji\\choshi\\2222222.gif")));
}

TEST_F(Builder, FingerPictures_EveryCodeOfBothSystemsWithXAndTheEmptyCode) {
    for (const auto& [system, codes] : test::kChartAlphabets) {
        std::set<QString> expected;
        for (std::size_t f = 0; f < kFingerPositions.size(); ++f) {
            std::string all = std::string(codes[f]) + "X";
            std::vector<std::string> names{fingerPicture(system, kFingerPositions[f].prefix, "")};
            for (char code : all)
                names.push_back(fingerPicture(system, kFingerPositions[f].prefix, std::string(1, code)));
            for (const std::string& name : names) {
                expectGif(pathIn(root(), name));
                insertWithTwin(expected, QFileInfo(pathIn(root(), name)).fileName());
            }
        }
        const QStringList written =
            ordinaryFiles(QDir(root()).filePath(QString::fromStdString("system/unshi/" + system)));
        EXPECT_EQ(std::set<QString>(written.begin(), written.end()), expected) << system;
    }
}

// A twin is the same picture at twice the size: shrunk to the picture's size
// it looks like the picture, and its edges are no softer.
TEST_F(Builder, Twins_EveryPictureTwiceItsSizeAndTheSameDrawing) {
    int pictures = 0;
    QDirIterator it(QDir(root()).filePath("system"), {"*.gif"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith("@2x.gif")) continue;
        ++pictures;
        const QImage picture = QImage(path).convertToFormat(QImage::Format_ARGB32);
        const QImage twin = QImage(QString(path).replace(".gif", "@2x.gif")).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(twin.size(), picture.size() * 2) << path.toStdString();
        const QImage shrunk = twin.scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        double difference = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb a = picture.pixel(x, y);
                const QRgb b = shrunk.pixel(x, y);
                difference += std::abs(qAlpha(a) - qAlpha(b)) + std::abs(qGray(a) - qGray(b)) * qAlpha(a) / 255.0;
            }
        EXPECT_LT(difference / (picture.width() * picture.height()), 24) << path.toStdString();
    }
    EXPECT_GT(pictures, 300);
}

TEST_F(Builder, ResultFolders_All174WithTheInitialRecordAlone) {
    int folders = 0;
    for (const SystemChoice& system : kSystemChoices)
        for (const PairingChoice& pairing : kPairingChoices)
            for (const KeyEntry& key : Key_tbl) {
                const QString folder = pathIn(root(), Result_dir(system.setting, pairing.setting, key.code));
                EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                          QStringList{kRecord})
                    << folder.toStdString();
                EXPECT_EQ(QFileInfo(QDir(folder).filePath(kRecord)).size(), 0);
                ++folders;
            }
    EXPECT_EQ(folders, 174);
    EXPECT_EQ(first.recordsCreated, 174);
}

TEST_F(Builder, InitialRecord_FitsTheResultLabel) {
    // The labels are 113 px wide, in 10.2 pt bold: 13.6 px at 96 dots per inch.
    QFont font = japaneseFont(13.6, true);
    font.setPixelSize(14);
    EXPECT_LE(QFontMetricsF(font).horizontalAdvance(kRecord), 113 - 4);
}

TEST_F(Builder, Content_ChartsAndExercisesOnlyFromTheContentLibrary) {
    const QString chart = pathIn(root(), kSystemChoices[0].chart);
#ifdef TARVEL_HAVE_MUSIC
    EXPECT_TRUE(first.contentWritten);
    QFile file(chart);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n')) << "every line ends in CR LF";
    EXPECT_TRUE(QFile::exists(pathIn(root(), exercisePath("Oeh", "BA", "F14"))));
#else
    EXPECT_FALSE(first.contentWritten);
    EXPECT_FALSE(QFile::exists(chart)) << "no stand-in chart";
    EXPECT_FALSE(QFile::exists(pathIn(root(), exercisePath("Boe", "BB", "000"))));
#endif
}

TEST_F(Builder, Icon_WrittenAsPngAt32And256AndAsTheSameDrawingInSvg) {
    QImageReader reader(QDir(root()).filePath("tarvel.png"));
    EXPECT_EQ(reader.format(), "png");
    EXPECT_EQ(reader.size(), QSize(32, 32));
    const QImage large = QImage(QDir(root()).filePath("tarvel-256.png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(large.size(), QSize(256, 256));
    QSvgRenderer svg(QDir(root()).filePath("tarvel.svg"));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBoxF(), QRectF(0, 0, 32, 32));
    QImage drawn(256, 256, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    svg.render(&painter);
    painter.end();
    double difference = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const QRgb a = large.pixel(x, y);
            const QRgb b = drawn.pixel(x, y);
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                          std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
        }
    EXPECT_LT(difference / (256 * 256 * 4), 2.0) << "the SVG and the 256 px icon show the same drawing";
}

// === Running again ===

TEST(BuilderRerun, SecondRun_SameBytesAndNothingRewritten) {
    QTemporaryDir dir;
    buildDataSet(dir.path());
    const auto before = digests(dir.path());
    const BuildSummary again = buildDataSet(dir.path());
    EXPECT_EQ(again.filesWritten, 0);
    EXPECT_EQ(again.recordsCreated, 0);
    EXPECT_EQ(again.recordsKept, 174);
    EXPECT_EQ(digests(dir.path()), before);
}

TEST(BuilderRerun, PlayersRecords_SurviveAndMissingOnesComeBack) {
    QTemporaryDir dir;
    buildDataSet(dir.path());
    const QString played = pathIn(dir.path(), Result_dir("Boe", "BB", "S03"));
    const QString graded = QString::fromUtf8("2026.12.07 ＡＡ");
    ASSERT_TRUE(QFile::rename(QDir(played).filePath(kRecord), QDir(played).filePath(graded)));
    QFile record(QDir(played).filePath(graded));
    ASSERT_TRUE(record.open(QIODevice::WriteOnly));
    record.write("kept");
    record.close();

    const QString emptied = pathIn(dir.path(), Result_dir("Oeh", "BC", "F07"));
    ASSERT_TRUE(QFile::remove(QDir(emptied).filePath(kRecord)));
    const QString hiddenOnly = pathIn(dir.path(), Result_dir("Oeh", "BA", "000"));
    ASSERT_TRUE(QFile::remove(QDir(hiddenOnly).filePath(kRecord)));
    QFile hidden(QDir(hiddenOnly).filePath(".keep"));
    ASSERT_TRUE(hidden.open(QIODevice::WriteOnly));
    hidden.close();
    const QString removed = pathIn(dir.path(), Result_dir("Boe", "BA", "F14"));
    ASSERT_TRUE(QDir(removed).removeRecursively());
    // A stale picture is brought back to what the builder draws.
    const QString picture = pathIn(dir.path(), kStaffPicture);
    QFile stale(picture);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("GIF89a");
    stale.close();

    const BuildSummary again = buildDataSet(dir.path());
    EXPECT_EQ(again.recordsCreated, 3);
    EXPECT_EQ(again.filesWritten, 1);
    EXPECT_EQ(ordinaryFiles(played), QStringList{graded});
    QFile kept(QDir(played).filePath(graded));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "kept");
    EXPECT_EQ(ordinaryFiles(emptied), QStringList{kRecord});
    EXPECT_EQ(ordinaryFiles(hiddenOnly), QStringList{kRecord});
    EXPECT_TRUE(QFile::exists(QDir(hiddenOnly).filePath(".keep")));
    EXPECT_EQ(ordinaryFiles(removed), QStringList{kRecord});
    EXPECT_GT(QFileInfo(picture).size(), 6);
}

TEST(BuilderRerun, BlockedFolder_FailsNamingThePath) {
    QTemporaryDir dir;
    QFile blocker(QDir(dir.path()).filePath("system"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        buildDataSet(dir.path());
        FAIL() << "a file in the place of the system folder went unnoticed";
    } catch (const BuildError& error) {
        EXPECT_NE(std::string(error.what()).find(dir.path().toStdString() + "/system"), std::string::npos)
            << error.what();
    }
}

}  // namespace
}  // namespace tarvel::dataset
