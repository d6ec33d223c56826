// The Qt window: places, stacking, transparency, clicks, fonts and pictures.
#include <gtest/gtest.h>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <climits>
#include <cmath>

#include "data/data_paths.h"
#include "qt/picture_cache.h"
#include "qt/picture_element.h"
#include "qt/qt_window.h"
#include "support/gif_fixture.h"

namespace tarvel {
namespace {

class WindowTest : public ::testing::Test {
protected:
    WindowTest() : window(data.root()) {
        window.onClick = [this](ElementId id) { clicks.push_back(elementName(id)); };
    }
    void showWindow() {
        window.form()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.form()));
    }
    QPoint centreOf(ElementId id) const { return window.elementWidget(id)->geometry().center(); }
    void clickAt(QPoint point) {
        QTest::mouseClick(window.form()->windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
    }
    QColor pixel(QPoint point) { return window.form()->grab().toImage().pixelColor(point); }
    void picture(ElementId id, const std::string& dataPath, const QImage& image) {
        test::writeGif(data, dataPath, image);
        ASSERT_EQ(window.setPicture(id, dataPath), PictureLoad::Loaded);
    }

    test::DataFolder data;
    QtWindow window;
    std::vector<std::string> clicks;
};

TEST_F(WindowTest, OneWindowCalledTarvelThatCanBeResized) {
    QWidget* form = window.form();
    EXPECT_EQ(form->size(), QSize(1016, 713)) << "it starts at the layout's own size";
    EXPECT_LE(form->minimumSize().width(), 508);
    EXPECT_GE(form->maximumSize().width(), 4000) << "it can be resized and maximised";
    EXPECT_EQ(form->windowTitle(), "Tarvel");
    EXPECT_EQ(form->windowIcon().availableSizes(), QList<QSize>{QSize(32, 32)}) << "an icon of its own";
}

// The whole page follows the window: every element at its twips place times
// the scale, from the letterboxed page's corner; pictures and fonts grow too.
TEST_F(WindowTest, ThePageScalesWithTheWindowKeepingItsProportions) {
    picture(el::P3_Btn(5), "system\\b.gif", test::solidPicture(40, 30, Qt::blue));
    showWindow();
    struct Case {
        QSize window;
        double scale;
        QPoint origin;
    };
    const Case cases[] = {{{1524, 1070}, 1.5, {0, 0}},
                          {{2032, 1426}, 2.0, {0, 0}},
                          {{1300, 713}, 1.0, {142, 0}},
                          {{1016, 1000}, 1.0, {0, 143}},
                          {{1016, 713}, 1.0, {0, 0}}};
    auto px = [](int twips, double scale) { return static_cast<int>(std::lround(twips * scale / 15)); };
    for (const Case& c : cases) {
        window.form()->resize(c.window);
        QCoreApplication::processEvents();
        EXPECT_DOUBLE_EQ(window.pageScale(), c.scale) << c.window.width();
        EXPECT_EQ(window.pageOrigin(), c.origin) << c.window.width();
        const QPoint at = c.origin;
        EXPECT_EQ(window.placeInWindow(el::P3_Btn(5)),
                  QRect(at + QPoint(px(9585, c.scale), px(2280, c.scale)), QSize(40, 30) * c.scale));
        EXPECT_EQ(window.placeInWindow(el::Label1),
                  QRect(at + QPoint(px(3960, c.scale), 0), QSize(px(8412, c.scale), px(5652, c.scale))));
        EXPECT_EQ(window.placeInWindow(el::Uns_img(9 * 31)).topLeft(),
                  at + QPoint(px(Slot_x(15), c.scale), px(5400 + 3000, c.scale)))
            << "the note and finger pictures' layers follow the page";
        EXPECT_EQ(window.elementWidget(el::Label1)->font().pixelSize(), std::lround(12 * c.scale));
        EXPECT_EQ(window.elementWidget(el::Key_frm(0))->geometry().topLeft(),
                  at + QPoint(px(240 - 45, c.scale), px(2280 - 45, c.scale)));
    }
}

// Larger than its own size a picture is drawn from its twin, twice its size
// beside it; without one, or with one of the wrong size, it is enlarged.
TEST_F(WindowTest, ALargePageShowsEachPictureFromItsTwin) {
    struct Case {
        const char* twin;  // what lies beside the picture
        QColor shown;      // at scale 1.5
    };
    const Case cases[] = {{"a twin", Qt::red}, {"none", Qt::blue}, {"too small", Qt::blue}};
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = "system\\p" + std::to_string(n++) + ".gif";
        test::writeGif(data, path, test::solidPicture(40, 30, Qt::blue));
        if (std::string(c.twin) == "a twin")
            test::writeGif(data, twinPicture(path), test::solidPicture(80, 60, Qt::red));
        if (std::string(c.twin) == "too small")
            test::writeGif(data, twinPicture(path), test::solidPicture(60, 40, Qt::red));
        window.form()->resize(1016, 713);
        QCoreApplication::processEvents();
        ASSERT_EQ(window.setPicture(el::P3_Btn(5), path), PictureLoad::Loaded);
        showWindow();
        auto* element = static_cast<PictureElement*>(window.elementWidget(el::P3_Btn(5)));
        EXPECT_EQ(element->pixelsFor(element->size()).toImage().pixelColor(5, 5), QColor(Qt::blue)) << c.twin;
        window.form()->resize(1524, 1070);
        QCoreApplication::processEvents();
        ASSERT_EQ(element->size(), QSize(60, 45));
        const QImage shown = element->pixelsFor(element->size()).toImage();
        EXPECT_EQ(shown.size(), QSize(60, 45)) << c.twin;
        EXPECT_EQ(shown.pixelColor(30, 22), c.shown) << c.twin;
        EXPECT_EQ(pixel(window.placeInWindow(el::P3_Btn(5)).center()), c.shown) << c.twin;
    }
}

TEST_F(WindowTest, EveryElementAtItsPlace) {
    for (ElementId id = 0; id < el::elementCount; ++id) {
        const ElementSpec& layout = element(id);
        const QWidget* widget = window.elementWidget(id);
        ASSERT_EQ(widget->pos(), QPoint(twipsToPixels(layout.leftTwips), twipsToPixels(layout.topTwips)))
            << elementName(id);
        if (layout.kind != ElementKind::Picture) {
            EXPECT_EQ(widget->size(), QSize(twipsToPixels(layout.widthTwips), twipsToPixels(layout.heightTwips)))
                << elementName(id);
        }
    }
    EXPECT_EQ(window.elementWidget(el::P1_Btn3)->size(), QSize(17, 17)) << "the unmarked square keeps its size";
    picture(el::P3_Btn(5), "system\\b.gif", test::solidPicture(40, 30, Qt::blue));
    EXPECT_EQ(window.elementWidget(el::P3_Btn(5))->size(), QSize(40, 30)) << "a picture shows at its natural size";
    EXPECT_EQ(window.elementWidget(el::P3_Btn(5))->pos(), QPoint(639, 152));
}

// Where a widget stands among everything the window draws: its own index
// among its siblings, after the index of its parent among the window's children.
std::pair<int, int> drawingOrder(const QWidget* form, const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    const int own = static_cast<int>(parent->children().indexOf(const_cast<QWidget*>(widget)));
    if (parent == form) return {own, 0};
    return {static_cast<int>(form->children().indexOf(const_cast<QWidget*>(parent))), own};
}

TEST_F(WindowTest, ElementsStackAsTheLayoutSays) {
    std::pair<int, int> above{INT_MAX, INT_MAX};
    for (const ElementId id : stackingOrderFromTop()) {
        const auto order = drawingOrder(window.form(), window.elementWidget(id));
        ASSERT_LT(order, above) << elementName(id) << " must lie under the element before it";
        above = order;
    }
    // Where back buttons of two pages share a place, the tempo page's lies on top.
    picture(el::P3_BtnA, "system\\a.gif", test::solidPicture(40, 30, Qt::blue));
    picture(el::P4_BtnA, "system\\a.gif", test::solidPicture(40, 30, Qt::blue));
    showWindow();
    EXPECT_EQ(window.form()->childAt(centreOf(el::P4_BtnA)), window.elementWidget(el::P4_BtnA));
}

TEST_F(WindowTest, TransparentPartsShowWhatLiesBeneath) {
    picture(el::title_img, "system\\hyouji\\title.gif", test::solidPicture(100, 40, Qt::blue, true));
    picture(el::P1_Btn1, "system\\p1.gif", test::solidPicture(100, 40, Qt::red, true));
    showWindow();
    EXPECT_EQ(pixel({288 + 25, 136 + 20}), QColor(Qt::blue));
    EXPECT_EQ(pixel({288 + 75, 136 + 20}), QColor(Qt::white)) << "the white message label lies beneath";
    EXPECT_EQ(pixel({424 + 25, 480 + 20}), QColor(Qt::red));
    EXPECT_EQ(pixel({424 + 75, 480 + 20}), window.form()->palette().color(QPalette::Window));
    EXPECT_EQ(pixel({300, 5}), QColor(Qt::white)) << "Label1 is opaque white";
}

TEST_F(WindowTest, ClicksReachOnlyWhatTakesThem) {
    showWindow();
    clickAt(centreOf(el::P1_Btn3));
    EXPECT_EQ(clicks, std::vector<std::string>{"P1_Btn3"}) << "the empty square takes clicks";
    clicks.clear();
    clickAt(QPoint(8 + 12, 16 + 12));
    EXPECT_TRUE(clicks.empty()) << "the cancel place takes none while it has no picture";
    picture(el::Cancel_img, "system\\c.gif", test::solidPicture(25, 25, Qt::red));
    clickAt(QPoint(8 + 12, 16 + 12));
    EXPECT_EQ(clicks, std::vector<std::string>{"Cancel_img"});
    clicks.clear();
    window.hide(el::Cancel_img);
    clickAt(QPoint(8 + 12, 16 + 12));
    EXPECT_TRUE(clicks.empty()) << "a hidden element takes no click";
    picture(el::P1_Btn1, "system\\p1.gif", test::solidPicture(100, 40, Qt::red));
    QTest::mouseDClick(window.form()->windowHandle(), Qt::LeftButton, Qt::NoModifier, centreOf(el::P1_Btn1));
    EXPECT_EQ(clicks, std::vector<std::string>{"P1_Btn1"}) << "a double click is one click";
}

TEST_F(WindowTest, TheCheckBoxKeepsItsState) {
    showWindow();
    EXPECT_FALSE(window.isChecked(el::Check1));
    clickAt(centreOf(el::Check1));
    EXPECT_TRUE(window.isChecked(el::Check1));
    EXPECT_EQ(static_cast<QCheckBox*>(window.elementWidget(el::Check1))->text(), "調性を音符に表示");
    EXPECT_TRUE(clicks.empty());
}

TEST_F(WindowTest, TheListeningBoxAndInputList) {
    showWindow();
    // Shown only by the pages that use them.
    for (ElementId id = el::Check3; id < el::elementCount; ++id) EXPECT_FALSE(window.isShown(id)) << elementName(id);
    for (const ElementId id : {el::Check3, el::Cmb_Mic}) window.show(id);
    EXPECT_EQ(static_cast<QCheckBox*>(window.elementWidget(el::Check3))->text(), "マイクで聴く");
    EXPECT_FALSE(window.isChecked(el::Check3));
    window.setEnabled(el::Check3, false);
    clickAt(centreOf(el::Check3));
    EXPECT_FALSE(window.isChecked(el::Check3)) << "a disabled box cannot be ticked";
    window.setEnabled(el::Check3, true);
    clickAt(centreOf(el::Check3));
    EXPECT_TRUE(window.isChecked(el::Check3));
    window.setEnabled(el::Check3, false);
    EXPECT_FALSE(window.isChecked(el::Check3)) << "disabling unticks it";

    EXPECT_EQ(window.chosenIndex(el::Cmb_Mic), -1);
    window.setChoices(el::Cmb_Mic, {"内蔵マイク", "USB マイク"}, 1);
    EXPECT_EQ(window.chosenIndex(el::Cmb_Mic), 1);
    EXPECT_EQ(static_cast<QComboBox*>(window.elementWidget(el::Cmb_Mic))->itemText(0), "内蔵マイク");
    window.setChoices(el::Cmb_Mic, {"USB マイク"}, 0);
    EXPECT_EQ(window.chosenIndex(el::Cmb_Mic), 0);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(WindowTest, TheMetronomeBoxIsCheckedAtStartAndTakesClicks) {
    showWindow();
    window.show(el::Check2);  // as the tempo page shows it
    auto* box = static_cast<QCheckBox*>(window.elementWidget(el::Check2));
    EXPECT_EQ(box->text(), "メトロノーム");
    EXPECT_TRUE(window.isChecked(el::Check2));
    // Over the place of the upper note rows, yet not in their click-less layer.
    EXPECT_EQ(box->parentWidget(), window.form());
    EXPECT_EQ(window.elementWidget(el::Lab_Oto)->parentWidget(), window.form());
    clickAt(centreOf(el::Check2));
    EXPECT_FALSE(window.isChecked(el::Check2));
    clickAt(centreOf(el::Check2));
    EXPECT_TRUE(window.isChecked(el::Check2));
    EXPECT_TRUE(clicks.empty());
}

TEST_F(WindowTest, LabelsShowTheirCaptionOnTheSecondLineInAJapaneseFont) {
    auto* label = static_cast<QLabel*>(window.elementWidget(el::Label1));
    EXPECT_EQ(QFontInfo(label->font()).pixelSize(), 12) << "9 pt at the start";
    window.setFontName(el::Label1, "MS UI Gothic");
    window.setFontSize(el::Label1, 32);
    window.setCaption(el::Label1, "\r\n　　　テンポをえらんでね");
    EXPECT_EQ(label->text(), "\n　　　テンポをえらんでね");
    EXPECT_EQ(window.caption(el::Label1), "\r\n　　　テンポをえらんでね");
    const QFontInfo info(label->font());
    EXPECT_TRUE(info.family() == "IPAexGothic" || info.family() == "Noto Sans CJK JP") << info.family().toStdString();
    EXPECT_EQ(info.pixelSize(), 43);
    window.setFontSize(el::Label1, 136);
    EXPECT_EQ(QFontInfo(label->font()).pixelSize(), 181);
    const QFontInfo result(window.elementWidget(el::Lab_S1(4))->font());
    EXPECT_TRUE(result.bold());
    EXPECT_EQ(result.pixelSize(), 14);
    EXPECT_EQ(static_cast<QLabel*>(window.elementWidget(el::Lab_S1(4)))->text(), "S1");
}

TEST_F(WindowTest, PicturesThatCannotBeLoadedLeaveTheirPlaceEmpty) {
    picture(el::P3_Btn(0), "system\\k.gif", test::solidPicture(40, 30, Qt::blue));
    EXPECT_EQ(window.setPicture(el::P3_Btn(0), "system\\none.gif"), PictureLoad::Missing);
    EXPECT_FALSE(window.hasPicture(el::P3_Btn(0)));
    EXPECT_EQ(window.picturePath(el::P3_Btn(0)), "");
    data.write("system\\text.gif", "this is not a picture");
    EXPECT_EQ(window.setPicture(el::P3_Btn(0), "system\\text.gif"), PictureLoad::NotAPicture);
    EXPECT_EQ(window.elementWidget(el::P3_Btn(0))->size(), QSize(0, 0));
    EXPECT_EQ(window.setPicture(el::Label1, "system\\k.gif"), PictureLoad::NotAPicture) << "a label holds no picture";
}

const SizeLimit kRoomy{100, 100};

TEST(PictureCache, SharesAPictureAndNoticesAChangedFile) {
    test::DataFolder data;
    test::writeGif(data, "system\\p.gif", test::solidPicture(10, 10, Qt::blue));
    const QString path = QString::fromStdString(data.path("system\\p.gif").string());
    PictureCache cache;
    QPixmap first, second, third;
    ASSERT_EQ(cache.load(path, first, kRoomy), PictureLoad::Loaded);
    ASSERT_EQ(cache.load(path, second, kRoomy), PictureLoad::Loaded);
    EXPECT_EQ(first.cacheKey(), second.cacheKey());
    test::writeGif(data, "system\\p.gif", test::solidPicture(20, 10, Qt::blue));
    cache.startBatch();  // as every event pump does
    ASSERT_EQ(cache.load(path, third, kRoomy), PictureLoad::Loaded);
    EXPECT_EQ(third.width(), 20);
}

// A GIF of 35 bytes that declares a frame of 5600 x 5600 pixels.
std::string hugeGif() {
    const unsigned char bytes[] = {'G',  'I', 'F',  '8',  '9',  'a',  0xE0, 0x15, 0xE0, 0x15, 0x80, 0, 0,  // screen
                                   0,    0,   0,    0xFF, 0xFF, 0xFF,                       // two colours
                                   0x2C, 0,   0,    0,    0,    0xE0, 0x15, 0xE0, 0x15, 0,  // frame
                                   2,    2,   0x4C, 0x01, 0,    0x3B};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// A GIF whose frame of 100 x 50 pixels stands on a logical screen of
// 5600 x 5600: decoded, it is a picture of the screen's size.
std::string hugeScreenGif() {
    const unsigned char bytes[] = {'G',  'I', 'F',  '8',  '9',  'a',  0xE0, 0x15, 0xE0, 0x15, 0x80, 0, 0,  // screen
                                   0,    0,   0,    0xFF, 0xFF, 0xFF,                       // two colours
                                   0x2C, 0,   0,    0,    0,    0x64, 0,    0x32, 0,    0,  // frame
                                   2,    2,   0x4C, 0x01, 0,    0x3B};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

TEST(PictureCache, AGifOnAScreenLargerThanItsPlaceIsRefusedBeforeItIsDecoded) {
    test::DataFolder data;
    data.write("system\\screen.gif", hugeScreenGif());
    test::writeGif(data, "system\\fits.gif", test::solidPicture(118, 76, Qt::blue));
    PictureCache cache;
    QPixmap picture;
    const SizeLimit keyButton{118, 76};
    EXPECT_EQ(cache.load(QString::fromStdString(data.path("system\\screen.gif").string()), picture, keyButton),
              PictureLoad::NotAPicture);
    EXPECT_EQ(cache.decodes(), 0) << "refused by its screen's size, not decoded first";
    EXPECT_EQ(cache.load(QString::fromStdString(data.path("system\\fits.gif").string()), picture, keyButton),
              PictureLoad::Loaded);
    EXPECT_EQ(cache.decodes(), 1);
}

// A picture larger than its place is refused before it is decoded.
TEST_F(WindowTest, PicturesLargerThanTheirPlaceAreRefused) {
    data.write("system\\huge.gif", hugeGif());
    ASSERT_EQ(data.names("system\\").size(), 1u);
    for (const ElementId id : {el::P3_Btn(0), el::P1_Btn1, el::title_img, el::Uns_img(7)})
        EXPECT_EQ(window.setPicture(id, "system\\huge.gif"), PictureLoad::NotAPicture) << elementName(id);
    test::writeGif(data, "system\\wide.gif", test::solidPicture(119, 76, Qt::blue));
    EXPECT_EQ(window.setPicture(el::P3_Btn(0), "system\\wide.gif"), PictureLoad::NotAPicture) << "118 px at most";
    test::writeGif(data, "system\\fits.gif", test::solidPicture(118, 76, Qt::blue));
    EXPECT_EQ(window.setPicture(el::P3_Btn(0), "system\\fits.gif"), PictureLoad::Loaded);
}

// Every record name grading writes stands whole in its label on the key page.
TEST_F(WindowTest, EveryGradeNameFitsItsLabel) {
    const char* grades[] = {"Ｉ", "Ｈ", "Ｇ",   "Ｆ",     "Ｅ", "Ｄ",   "Ｃ",
                            "Ｂ", "Ａ", "ＡＡ", "ＡＡＡ", "Ｓ", "ＳＳ", "ＳＳＳ"};
    for (const char* date : {"2026.12.07", "2088.08.28"}) {
        for (int k = 0; k < 14; ++k) {
            const std::string name = std::string(date) + " " + grades[k];
            window.setCaption(el::Lab_S1(k), name);
            auto* label = static_cast<QLabel*>(window.elementWidget(el::Lab_S1(k)));
            const QFontMetrics metrics(label->font());
            EXPECT_LE(metrics.horizontalAdvance(QString::fromStdString(name)), label->contentsRect().width()) << name;
            EXPECT_LE(metrics.height(), label->contentsRect().height()) << name;
            EXPECT_TRUE(label->font().bold());
        }
    }
    window.setCaption(el::Lab_S1(0), "まだ吹いてない");
    EXPECT_EQ(static_cast<QLabel*>(window.elementWidget(el::Lab_S1(0)))->font().stretch(), 100)
        << "a name with room keeps the font as it is";
}

// During a sleep only a close and what the sleep hears (the cancel picture)
// come through: a click on anything else is dropped, and is not handled after
// the sleep either.
TEST_F(WindowTest, ASleepHearsOnlyWhatItIsToldAndTheClose) {
    picture(el::P4_Btn(1), "system\\tempo.gif", test::solidPicture(100, 50, Qt::blue));
    picture(el::Cancel_img, "system\\cancel.gif", test::solidPicture(25, 25, Qt::red));
    showWindow();
    auto sleepFor = [&](int ms, std::optional<ElementId> heard = el::Cancel_img) {
        window.sleepUntil(window.now() + std::chrono::milliseconds(ms), heard);
    };

    QTimer::singleShot(20, [&] { clickAt(centreOf(el::P4_Btn(1))); });
    sleepFor(150);
    window.processEvents();
    EXPECT_TRUE(clicks.empty()) << "the click in the sleep reached " << clicks.front();
    EXPECT_FALSE(window.sleepWoken());

    QTimer::singleShot(20, [&] { clickAt(centreOf(el::Cancel_img)); });
    sleepFor(150, std::nullopt);
    window.processEvents();
    EXPECT_TRUE(clicks.empty()) << "a sleep that hears no cancel drops its click";
    EXPECT_FALSE(window.sleepWoken());

    QTimer::singleShot(20, [&] { clickAt(centreOf(el::Cancel_img)); });
    sleepFor(60000);  // ends with the click, long before its deadline
    EXPECT_EQ(clicks, std::vector<std::string>{"Cancel_img"});
    EXPECT_TRUE(window.sleepWoken());

    clickAt(centreOf(el::P4_Btn(1)));
    EXPECT_EQ(clicks.back(), "P4_Btn1") << "out of a sleep, clicks are clicks";

    window.onCloseRequest = [&] { window.endProgram(0); };
    QTimer::singleShot(20, [&] { window.form()->close(); });
    EXPECT_THROW(sleepFor(60000), WindowClosed);
    EXPECT_TRUE(window.ended());
}

TEST_F(WindowTest, TheProgressChartHasAGradeAxisOfTheFourteenGradesAndALinePerTempo) {
    ChartData chartData{
        "S01",
        {{"60", {{"2026-12-01 10:00:00", 6}, {"2026-12-03 18:30:00", 7}}}, {"340", {{"2026-12-03 18:40:00", 11}}}}};
    window.setChart(el::P7_Chart, chartData);
    window.setChart(el::P7_Chart, chartData);  // drawn anew, not added to
    QChart* chart = static_cast<QChartView*>(window.elementWidget(el::P7_Chart))->chart();
    ASSERT_EQ(chart->series().size(), 2);
    const auto* slow = qobject_cast<QLineSeries*>(chart->series()[0]);
    ASSERT_NE(slow, nullptr);
    EXPECT_EQ(slow->name(), "♩60");
    ASSERT_EQ(slow->count(), 2);
    EXPECT_EQ(slow->at(1).y(), 7);
    EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(slow->at(1).x())),
              QDateTime(QDate(2026, 12, 3), QTime(18, 30)));
    EXPECT_TRUE(slow->pointsVisible());
    const auto axes = chart->axes(Qt::Vertical);
    ASSERT_EQ(axes.size(), 1);
    auto* grades = qobject_cast<QCategoryAxis*>(axes[0]);
    ASSERT_NE(grades, nullptr);
    EXPECT_EQ(grades->categoriesLabels(), (QStringList{"Ｉ", "Ｈ", "Ｇ", "Ｆ", "Ｅ", "Ｄ", "Ｃ", "Ｂ", "Ａ", "ＡＡ",
                                                       "ＡＡＡ", "Ｓ", "ＳＳ", "ＳＳＳ"}));
    EXPECT_EQ(grades->endValue("ＡＡＡ"), 11);
    EXPECT_EQ(chart->axes(Qt::Horizontal).size(), 1);

    window.setChart(el::P7_Chart, ChartData{"F14", {}});
    chart = static_cast<QChartView*>(window.elementWidget(el::P7_Chart))->chart();
    EXPECT_EQ(chart->series().size(), 0);
    EXPECT_EQ(chart->axes(Qt::Horizontal).size(), 1) << "one time axis, the old one gone";
    EXPECT_EQ(chart->title(), "変イ短調　まだ記録がありません");
}

TEST_F(WindowTest, TheKeyChoiceTellsTheProgramAndTheTableShowsItsRows) {
    window.setChoices(el::P7_Key, {"ハ長調", "ト長調（2回）"}, 1);
    EXPECT_EQ(window.chosenIndex(el::P7_Key), 1);
    EXPECT_TRUE(clicks.empty()) << "filling the list is not the player's choice";
    window.choose(el::P7_Key, 0);
    EXPECT_TRUE(clicks.empty()) << "a hidden list cannot be chosen from";
    window.show(el::P7_Key);
    window.form()->show();
    window.choose(el::P7_Key, 0);
    EXPECT_EQ(window.chosenIndex(el::P7_Key), 0);
    EXPECT_EQ(clicks, std::vector<std::string>{"P7_Key"});

    window.setTable(el::P7_Table,
                    TableData{{"日時", "成績"}, {{"2026-12-07 10:00", "ＡＡ"}, {"2026-12-06 09:00", "Ｂ"}}});
    const auto* table = static_cast<QTableWidget*>(window.elementWidget(el::P7_Table));
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->horizontalHeaderItem(1)->text(), "成績");
    EXPECT_EQ(table->item(1, 1)->text(), "Ｂ");
}

TEST_F(WindowTest, ABadgeLetsClicksThroughToItsKeyButton) {
    picture(el::P3_Btn(1), "system\\k.gif", test::solidPicture(116, 76, Qt::yellow));
    window.setCaption(el::Best_lbl(1), "ＡＡＡ ♩340");
    for (ElementId id = el::P3_BtnC; id < el::elementCount; ++id) window.hide(id);  // the progress page
    showWindow();
    clickAt(centreOf(el::Best_lbl(1)));
    EXPECT_EQ(clicks, std::vector<std::string>{"P3_Btn1"});
}

TEST_F(WindowTest, ClosingAsksTheProgramAndEndsEveryPump) {
    int requests = 0;
    window.onCloseRequest = [&] {
        ++requests;
        window.endProgram(0);
    };
    showWindow();
    EXPECT_NO_THROW(window.processEvents());
    window.form()->close();
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(window.ended());
    EXPECT_THROW(window.processEvents(), WindowClosed);
}

}  // namespace
}  // namespace tarvel

namespace tarvel {
namespace {

class WindowKeysTest : public WindowTest {
protected:
    WindowKeysTest() {
        window.onKey = [this](KeyInput key) {
            keys.push_back(key);
            return buttonForKey(key, page, 0);
        };
    }
    void press(Qt::Key key, bool autoRepeat = false) { send(QEvent::KeyPress, key, autoRepeat, ++time); }
    void send(QEvent::Type type, Qt::Key key, bool autoRepeat, unsigned long long at) {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        event.setTimestamp(at);
        QCoreApplication::sendEvent(window.form(), &event);
    }
    unsigned long long time = 1000;
    std::vector<KeyInput> keys;
    Page page = Page::Tempo;  // the page the program says shows
};

TEST_F(WindowKeysTest, AKeyClicksTheButtonTheProgramSaysItStandsFor) {
    for (const ElementId id : {el::P1_Btn1, el::P4_Btn(1), el::P5_Btn(1), el::P3_Btn(0), el::P6_Btn(1)})
        picture(id, "system\\b" + std::to_string(id) + ".gif", test::solidPicture(40, 20, Qt::blue));
    for (const ElementId id : {el::P1_Btn1, el::P5_Btn(1), el::P3_Btn(0), el::P6_Btn(1)}) window.hide(id);
    showWindow();
    press(Qt::Key_1);
    EXPECT_EQ(clicks, std::vector<std::string>{"P4_Btn1"}) << "the tempo page's button";
    press(Qt::Key_1, true);
    EXPECT_EQ(clicks.size(), 1u) << "a held key repeats nothing";
    // X's repeat: a release and a press at one time, which Qt may not flag.
    send(QEvent::KeyRelease, Qt::Key_1, false, 2000);
    send(QEvent::KeyPress, Qt::Key_1, false, 2000);
    EXPECT_EQ(clicks.size(), 1u) << "a release and a press at one time are a repeat";
    EXPECT_EQ(keys.size(), 1u);
    press(Qt::Key_Enter);
    press(Qt::Key_Return);
    EXPECT_EQ(clicks.size(), 1u) << "the tempo page has no Enter";
    page = Page::Grade;
    window.show(el::P6_Btn(1));
    press(Qt::Key_Return);
    EXPECT_EQ(clicks.back(), "P6_Btn1");
    press(Qt::Key_Escape);
    EXPECT_EQ(clicks.back(), "P6_Btn1") << "page 6 has no Escape";
    press(Qt::Key_F2);
    EXPECT_EQ(keys.size(), 5u) << "keys the pages do not know do not reach the program";
}

TEST_F(WindowKeysTest, SpaceTogglesTheCheckBoxOfThePageShowing) {
    showWindow();
    page = Page::Key;
    auto* box = static_cast<QCheckBox*>(window.elementWidget(el::Check1));
    press(Qt::Key_Space);
    EXPECT_TRUE(box->isChecked());
    press(Qt::Key_Space);
    EXPECT_FALSE(box->isChecked());
    window.hide(el::Check1);
    page = Page::Progress;
    press(Qt::Key_Space);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(box->focusPolicy(), Qt::NoFocus) << "keys always go to the window";
}

TEST_F(WindowKeysTest, ButtonsLookPressedWhileTheMouseButtonIsDown) {
    picture(el::P5_Btn(1), "system\\answer.gif", test::solidPicture(60, 30, QColor(200, 200, 200)));
    showWindow();
    const QPoint centre = centreOf(el::P5_Btn(1));
    const QColor before = pixel(centre);
    QTest::mousePress(window.form()->windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_LT(pixel(centre).lightness(), before.lightness()) << "darker while pressed";
    EXPECT_TRUE(clicks.empty()) << "a press alone is no click";
    QTest::mouseRelease(window.form()->windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(pixel(centre), before);
    EXPECT_EQ(clicks, std::vector<std::string>{"P5_Btn1"});
    EXPECT_EQ(window.elementWidget(el::P5_Btn(1))->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(window.elementWidget(el::Cancel_img)->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_NE(window.elementWidget(el::onp_img(0))->cursor().shape(), Qt::PointingHandCursor) << "notes take no clicks";
    EXPECT_NE(window.elementWidget(el::title_img)->cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
}  // namespace tarvel
