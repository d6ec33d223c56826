// The page at other sizes, in the driver's screenshots: every element at its
// twips place times the scale, and pictures as sharp at scale 2 as at scale 1.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "support/driver_run.h"
#include "ui/elements.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;
using test::BuiltDataSet;
using test::runDriver;

int px(int twips, double scale) { return static_cast<int>(std::lround(twips * scale / 15)); }

int difference(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

// Walks from `from` by `step` until the colour differs plainly from where it
// started: the first pixel of what stands there.
int edge(const QImage& shot, QPoint from, QPoint step, int limit = 8) {
    const QRgb background = shot.pixel(from);
    for (int n = 1; n <= limit; ++n) {
        const QPoint at = from + n * step;
        if (difference(shot.pixel(at), background) > 60) return step.x() ? at.x() : at.y();
    }
    return -1;
}

TEST(Scaling, TheKeyPageStandsAtItsTwipsPlacesTimesTheScale) {
    BuiltDataSet data;
    const auto run = runDriver(data, "",
                               "click P1_Btn1\nclick P2_Btn1\nshot one.png\nresize 1524 1070\nshot large.png\n"
                               "resize 1300 713\nshot wide.png\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    struct Shot {
        const char* file;
        double scale;
        int originX;
    };
    for (const Shot& s : {Shot{"one.png", 1.0, 0}, Shot{"large.png", 1.5, 0}, Shot{"wide.png", 1.0, 142}}) {
        const QImage shot(QString::fromStdString((data.root() / s.file).string()));
        ASSERT_FALSE(shot.isNull()) << s.file;
        const int width = static_cast<int>(std::lround(116 * s.scale));
        const int height = static_cast<int>(std::lround(76 * s.scale));
        // Key 0 has the keyboard's frame round it; every other key button alone.
        for (int k = 1; k < el::keyCount; ++k) {
            const ElementSpec& e = element(el::P3_Btn(k));
            const int left = s.originX + px(e.leftTwips, s.scale);
            const int top = px(e.topTwips, s.scale);
            const int middleY = top + height / 2;
            const int middleX = left + width / 2;
            EXPECT_NEAR(edge(shot, {left - 4, middleY}, {1, 0}), left, 1) << s.file << " key " << k << " left";
            EXPECT_NEAR(edge(shot, {left + width + 3, middleY}, {-1, 0}), left + width - 1, 1)
                << s.file << " key " << k << " right";
            EXPECT_NEAR(edge(shot, {middleX, top - 4}, {0, 1}), top, 1) << s.file << " key " << k << " top";
        }
    }
}

// How soft the edges of the notes are, in screen pixels: the mean number of
// pixels between the background and the ink across every edge of the upper
// staff's notes.
double edgeWidth(const QImage& shot, double ratio) {
    const int left = static_cast<int>(176 * ratio);
    const int right = static_cast<int>(1004 * ratio);
    const int bottom = static_cast<int>(200 * ratio);
    int edges = 0;
    int between = 0;
    for (int y = 0; y < bottom; ++y) {
        int run = 0;
        bool fromLight = false;
        for (int x = left; x < right; ++x) {
            const int grey = qGray(shot.pixel(x, y));
            if (grey >= 200) {
                fromLight = true;
                run = 0;
            } else if (grey <= 60) {
                if (fromLight) {
                    ++edges;
                    between += run;
                }
                fromLight = false;
                run = 0;
            } else {
                ++run;
            }
        }
    }
    return edges ? static_cast<double>(between) / edges : 99;
}

TEST(Scaling, AtScaleTwoTheNotesAreAsSharpAsAtScaleOne) {
    const std::string script = "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn4\nafter 11050 shot run.png\nclick P4_Btn5\n";
    struct Case {
        const char* name;
        const char* scale;
        bool twins;
        double ratio;
    };
    const Case cases[] = {
        {"scale 1", "1", true, 1}, {"scale 2", "2", true, 2}, {"scale 2 without twins", "2", false, 2}};
    double sharp = 0;
    for (const Case& c : cases) {
        BuiltDataSet data;
        if (!c.twins)
            for (const auto& file : fs::recursive_directory_iterator(data.root() / "system"))
                if (file.path().filename().string().find("@2x") != std::string::npos) fs::remove(file.path());
        setenv("QT_SCALE_FACTOR", c.scale, 1);
        const auto run = runDriver(data, "", script);
        unsetenv("QT_SCALE_FACTOR");
        ASSERT_EQ(run.status, 0) << run.errors;
        const QImage shot(QString::fromStdString((data.root() / "run.png").string()));
        ASSERT_EQ(shot.size(), QSize(1016, 713) * c.ratio) << c.name;
        const double width = edgeWidth(shot, c.ratio);
        if (c.ratio == 1)
            sharp = width;
        else if (c.twins)
            EXPECT_LE(width, sharp + 0.1) << c.name << ": edges " << width << " px wide, at scale 1 " << sharp;
        else
            EXPECT_GT(width, sharp + 0.3) << c.name << ": an enlarged picture is softer (" << width << " against "
                                          << sharp << "), or the measure sees nothing";
    }
}

}  // namespace
}  // namespace tarvel
