// The keyboard through tarvel-drive on the real window: a whole session played
// with keys leaves the same trace as the same session clicked; keys whose
// buttons are hidden do nothing; Escape cancels a run as the cancel picture
// does; the caption of the choices on each page; the screenshots of pages 3
// to 6 with the added elements, at scale factor 1 and 2.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QRect>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <tuple>
#include <utility>

#include "support/driver_run.h"
#include "ui/elements.h"

namespace tarvel {
namespace {

using test::BuiltDataSet;
using test::linesStartingWith;
using test::runDriver;
using test::traceTime;

// One step of a session: the key a player presses, and the click that the
// key stands for ("" when the key must do nothing there).
struct Step {
    std::string key;
    std::string click;
};

std::string keyScript(const std::vector<Step>& steps) {
    std::string script;
    for (const Step& s : steps) script += s.key.rfind("after ", 0) == 0 ? s.key + "\n" : "key " + s.key + "\n";
    return script + "dump\n";
}

std::string clickScript(const std::vector<Step>& steps) {
    std::string script;
    for (const Step& s : steps)
        if (!s.click.empty()) script += s.click.rfind("after ", 0) == 0 ? s.click + "\n" : "click " + s.click + "\n";
    return script + "dump\n";
}

// The trace without the key page's frame, which the mouse never moves.
std::vector<std::string> withoutFrames(const std::vector<std::string>& lines) {
    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (line.find("Key_frm(") == std::string::npos) kept.push_back(line);
    return kept;
}

TEST(DriverKeys, AWholeSessionByKeysIsTheSessionByClicks) {
    std::vector<Step> steps{
        // Page 1: keys of other pages do nothing; 2 is Oehler, and back.
        {"3", ""},
        {"Return", ""},
        {"Escape", ""},
        {"T", ""},
        {"Home", ""},
        {"Space", ""},
        {"Left", ""},
        {"2", "P1_Btn2"},
        {"Backspace", "P2_Btn4"},
        {"1", "P1_Btn1"},
        // Page 2: the three parts and back.
        {"4", ""},
        {"K", ""},
        {"3", "P2_Btn3"},
        {"Home", "P3_BtnB"},
        {"1", "P1_Btn1"},
        {"2", "P2_Btn2"},
        {"Backspace", "P3_BtnA"},
        {"1", "P2_Btn1"},
        // The key page: the check box on and off, the frame to F03, Enter.
        {"Space", "Check1"},
        {"Space", "Check1"},
        {"5", ""},
        {"T", ""},
        {"Escape", ""},
        {"Right", ""},
        {"Right", ""},
        {"Right", ""},
        {"Down", ""},
        {"Return", "P3_Btn10"},
        // The tempo page: back, and Enter chooses the same key again.
        {"Backspace", "P4_BtnA"},
        {"Return", "P3_Btn10"},
        {"0", ""},
        {"K", ""},
    };
    // Every tempo, each run answered with the next answer, then another tempo.
    for (int tempo = 1; tempo <= 9; ++tempo) {
        const std::string digit = std::to_string(tempo);
        const std::string answer = std::to_string(1 + (tempo - 1) % 4);
        steps.push_back({digit, "P4_Btn" + digit});
        steps.push_back({"5", ""});
        steps.push_back({answer, "P5_Btn" + answer});
        steps.push_back({"1", ""});
        if (tempo < 9) steps.push_back({"T", "P6_Btn2"});
    }
    // Page 6: again, then a cancelled run, then another key.
    steps.push_back({"Return", "P6_Btn1"});
    steps.push_back({"4", "P5_Btn4"});
    steps.push_back({"T", "P6_Btn2"});
    steps.push_back({"after 3000 key Escape", "after 3000 click Cancel_img"});
    steps.push_back({"5", "P4_Btn5"});  // cancelled in its count-in: the tempo page again
    steps.push_back({"5", "P4_Btn5"});
    steps.push_back({"1", "P5_Btn1"});
    steps.push_back({"K", "P6_Btn3"});

    BuiltDataSet byKeys, byClicks;
    const auto keys = runDriver(byKeys, "--trace --today 2026-12-07", keyScript(steps));
    const auto clicks = runDriver(byClicks, "--trace --today 2026-12-07", clickScript(steps));
    ASSERT_EQ(keys.status, 0) << keys.errors;
    ASSERT_EQ(clicks.status, 0) << clicks.errors;
    EXPECT_GT(keys.lines.size(), 10000u);
    const auto keyTrace = withoutFrames(keys.lines), clickTrace = withoutFrames(clicks.lines);
    ASSERT_EQ(keyTrace.size(), clickTrace.size());
    for (std::size_t i = 0; i < keyTrace.size(); ++i) ASSERT_EQ(keyTrace[i], clickTrace[i]) << "line " << i;
    // The session went where it should: back on the key page with ten records.
    EXPECT_FALSE(linesStartingWith(keys.lines, "P3_Btn10 ").empty());
    EXPECT_EQ(linesStartingWith(keys.lines, "Key_frm(10)").size(), 1u) << "the frame on the key chosen last";
    EXPECT_EQ(linesStartingWith(keys.lines, "t=").size(), linesStartingWith(clicks.lines, "t=").size() + 8)
        << "the arrows and the frame's moves are the only extra lines";
}

TEST(DriverKeys, KeysOfHiddenButtonsDoNothing) {
    BuiltDataSet data;
    std::string keys;
    for (const char* key : {"0", "3", "9", "Return", "Enter", "Escape", "T", "K", "Backspace", "Home", "Space", "Left",
                            "Down", "F2", "A"})
        keys += std::string("key ") + key + "\n";
    // Page 1, then during a run: every key but Escape does nothing there.
    std::string during;
    for (const char* key : {"1", "2", "4", "9", "Return", "Backspace", "Home", "T", "K", "Space", "Left"})
        during += std::string("after 6000 key ") + key + "\n";
    const auto run = runDriver(
        data, "--trace",
        "dump\n" + keys + "dump\nclick P1_Btn1\nclick P2_Btn1\nclick P3_Btn4\n" + during + "click P4_Btn5\ndump\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto states = linesStartingWith(run.lines, "state ");
    ASSERT_EQ(states.size(), 3u);
    EXPECT_EQ(states[0], states[1]) << "page 1 is as it was";
    std::size_t firstDump = 0, secondDump = 0;
    for (std::size_t i = 0, seen = 0; i < run.lines.size() && seen < 2; ++i)
        if (run.lines[i].rfind("state ", 0) == 0) (seen++ == 0 ? firstDump : secondDump) = i;
    for (std::size_t i = firstDump; i < secondDump; ++i)
        EXPECT_NE(run.lines[i].rfind("t=", 0), 0u) << "no window or file operation: " << run.lines[i];
    // The run went through to page 5: none of the keys it got did anything.
    EXPECT_NE(run.lines.end(),
              std::find(run.lines.begin(), run.lines.end(),
                        "Label1 font=\"MS UI Gothic\" size=32 caption=\"\\r\\n　　　　　どうだった？\""));
    EXPECT_NE(states[2].find(R"(Settings=["","Boe","BB","S04","120","","1"])"), std::string::npos) << states[2];
}

TEST(DriverKeys, EscapeCancelsARunAsTheCancelPictureDoes) {
    const std::string start = "click P1_Btn1\nclick P2_Btn1\nclick P3_Btn4\n";
    BuiltDataSet byKey, byClick;
    const auto key = runDriver(byKey, "--trace", start + "after 6000 key Escape\nclick P4_Btn5\ndump\n");
    const auto click = runDriver(byClick, "--trace", start + "after 6000 click Cancel_img\nclick P4_Btn5\ndump\n");
    ASSERT_EQ(key.status, 0) << key.errors;
    EXPECT_EQ(withoutFrames(key.lines), withoutFrames(click.lines));
    // Within a beat (500 ms at 120) of the key, the tempo page is back.
    long long tempoClick = -1, cleared = -1;
    for (const std::string& line : key.lines) {
        if (tempoClick < 0 && line.find(" hide P4_Btn5") != std::string::npos) tempoClick = traceTime(line);
        if (cleared < 0 && line.find(" show P4_Btn1") != std::string::npos && tempoClick >= 0)
            cleared = traceTime(line);
    }
    ASSERT_GE(cleared, 0);
    EXPECT_LE(cleared - tempoClick - 6000, 500);
    EXPECT_NE(key.lines.end(),
              std::find(key.lines.begin(), key.lines.end(),
                        "Label1 font=\"MS UI Gothic\" size=32 caption=\"\\r\\n　　　テンポをえらんでね\""));
}

TEST(DriverKeys, EveryPageAfterThePartSaysWhereThePlayerIs) {
    BuiltDataSet data;
    const auto run = runDriver(data, "--trace",
                               "key 2\nkey 2\nkey Left\nkey Down\nkey Return\nkey 9\nkey 1\nkey T\n"
                               "key Backspace\nkey Home\nkey 1\nkey 3\nkey Return\nkey 4\nkey 2\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    std::vector<std::string> captions;
    for (const std::string& line : run.lines) {
        const auto at = line.find(" caption Where");
        if (at != std::string::npos) captions.push_back(line.substr(at + 9));
    }
    const std::vector<std::string> expected{
        R"(Where_lbl "エーラー式・C管")",                       // the key page
        R"(Where_lbl "エーラー式・C管")",                       // the tempo page, before the key is stored
        R"(Where_lbl "エーラー式・C管・ヘ長調")",               // ... and after
        R"(Where_run_lbl "エーラー式・C管\r\nヘ長調・♩=480")",  // the run
        R"(Where_lbl "エーラー式・C管・ヘ長調・♩=480")",        // page 5
        R"(Where_lbl "エーラー式・C管・ヘ長調・♩=480")",        // page 6
        R"(Where_lbl "エーラー式・C管・ヘ長調")",               // another tempo
        R"(Where_lbl "エーラー式・C管")",                       // the key page again
        R"(Where_lbl "ベーム式・A管")",                         // after the first page: Boehm and A
        R"(Where_lbl "ベーム式・A管・ヘ長調")",                 // the frame stayed on F01
        R"(Where_lbl "ベーム式・A管・ヘ長調")",
        R"(Where_run_lbl "ベーム式・A管\r\nヘ長調・♩=85")",
        R"(Where_lbl "ベーム式・A管・ヘ長調・♩=85")",
        R"(Where_lbl "ベーム式・A管・ヘ長調・♩=85")",
    };
    EXPECT_EQ(captions, expected);
}

// What the window shows, in pixels: each added element's place, and the places
// of the layout's elements on the same page, with the sizes of the data set's
// pictures (the largest a note or fingering picture may be for those).
QRect placeOf(ElementId id, const std::filesystem::path& root) {
    const ElementSpec& e = element(id);
    QRect rect(twipsToPixels(e.leftTwips), twipsToPixels(e.topTwips), twipsToPixels(e.widthTwips),
               twipsToPixels(e.heightTwips));
    std::string picture;
    if (id == el::Gosen_img1 || id == el::Gosen_img2) picture = "system/hyouji/5line.gif";
    if (id == el::Cancel_img) picture = "system/hyouji/button/cancel.gif";
    if (id == el::Choshi(0) || id == el::Choshi(1)) rect.setSize({152, 200});
    if (id >= el::onp_img(0) && id < el::Uns_img(0)) rect.setSize({52, 200});
    if (id >= el::Uns_img(0) && id < el::Uns_img(el::fingerSlotCount)) rect.setSize({50, 150});
    if (id == el::Help_Btn) picture = "system/hyouji/button/help.gif";
    if (id == el::P5_Staff(0)) picture = "system/hyouji/mini/5line_1.gif";
    if (id == el::P5_Staff(1) || id == el::P5_Staff(2)) picture = "system/hyouji/mini/5line.gif";
    if (id == el::P5_Legend) picture = "system/hyouji/mini/marks.gif";
    if (id == el::P5_Choshi) rect.setSize({52, kScoreBandHeight});
    if (id >= el::P5_Note(0) && id <= el::P5_Extra(el::scoreNotes - 1)) rect.setSize({19, kScoreBandHeight});
    if (id >= el::P5_Mark(0) && id <= el::P5_Mark(el::scoreNotes - 1))
        rect.setSize({kScoreMarkWidth, kScoreBandHeight});
    if (id >= el::P3_BtnA && id <= el::P6_Btn(3) && e.kind == ElementKind::Picture) {
        static const std::map<ElementId, std::string> files = [] {
            std::map<ElementId, std::string> m;
            const char* names[] = {"modoru", "3t_modoru"};
            m[el::P3_BtnA] = names[0];
            m[el::P3_BtnB] = names[1];
            m[el::P3_BtnC] = "3_kiroku";
            m[el::P4_BtnA] = names[0];
            const char* tempi[] = {"030", "042", "060", "085", "120", "170", "240", "340", "480"};
            for (int n = 1; n <= 9; ++n) m[el::P4_Btn(n)] = std::string("4_") + tempi[n - 1];
            const char* answers[] = {"5_0", "5_1", "5_3", "5_6"};
            for (int n = 1; n <= 4; ++n) m[el::P5_Btn(n)] = answers[n - 1];
            m[el::P6_Btn(1)] = "6_more";
            m[el::P6_Btn(2)] = "6_tempo";
            m[el::P6_Btn(3)] = "6_code";
            return m;
        }();
        const auto found = files.find(id);
        picture = found != files.end() ? "system/hyouji/button/" + found->second + ".gif"
                                       : "system/hyouji/button/B_C000.gif";  // every key button is one size
    }
    if (!picture.empty()) rect.setSize(QImageReader(QString::fromStdString((root / picture).string())).size());
    return rect;
}

TEST(DriverKeys, TheAddedElementsStandInFreeSpace) {
    BuiltDataSet data;
    const auto range = [](ElementId first, ElementId last) {
        std::vector<ElementId> ids;
        for (ElementId id = first; id <= last; ++id) ids.push_back(id);
        return ids;
    };
    auto keyPage = range(el::P3_BtnA, el::Lab_S1(28));
    for (const ElementId id : range(el::Best_lbl(0), el::P3_BtnC)) keyPage.push_back(id);
    keyPage.push_back(el::Check1);
    auto tempoPage = range(el::P4_Btn(1), el::P4_BtnA);
    tempoPage.push_back(el::Check2);
    tempoPage.push_back(el::Lab_Oto);
    auto run = range(el::Cancel_img, el::Choshi(1));
    for (const ElementId id : range(el::onp_img(0), el::onp_img(31))) run.push_back(id);
    for (const ElementId id : range(el::Uns_img(0), el::Uns_img(9 * 32 - 1))) run.push_back(id);
    auto page5 = range(el::P5_Btn(1), el::P5_Btn(4));
    for (const ElementId id : range(el::Lab_Miss, el::Lab_Teian(3))) page5.push_back(id);
    auto score = range(el::kScoreFirst, el::P5_Legend);
    score.push_back(el::Where_lbl);
    score.push_back(el::Help_Btn);
    const auto page6 = range(el::P6_Btn(1), el::P6_Btn(3));
    const std::vector<std::pair<std::vector<ElementId>, std::vector<ElementId>>> pages{
        {keyPage, {el::Where_lbl, el::Help_Btn}},
        {tempoPage, {el::Where_lbl, el::Help_Btn}},
        {run, {el::Where_run_lbl, el::Big_keys}},
        {page5, score},
        {page6, {el::Where_lbl, el::Ladder_lbl, el::Record_lbl, el::Help_Btn}},
    };
    for (const auto& [layout, added] : pages) {
        for (const ElementId mine : added) {
            const QRect place = placeOf(mine, data.root());
            EXPECT_TRUE(QRect(0, 0, 1016, 713).contains(place)) << elementName(mine);
            for (ElementId other : layout) {
                EXPECT_FALSE(place.intersects(placeOf(other, data.root())))
                    << elementName(mine) << " covers " << elementName(other);
            }
            EXPECT_FALSE(place.intersects(placeOf(el::Label1, data.root()))) << elementName(mine);
        }
    }
    // The frame around a key button touches neither the next button nor its label.
    for (int k = 0; k < el::keyCount; ++k) {
        const QRect frame = placeOf(el::Key_frm(k), data.root());
        EXPECT_TRUE(frame.contains(placeOf(el::P3_Btn(k), data.root()))) << k;
        for (ElementId other : keyPage) {
            // Its own button, and the best-result badge on the button's corner.
            if (other == el::P3_Btn(k) || other == el::Best_lbl(k)) continue;
            EXPECT_FALSE(frame.intersects(placeOf(other, data.root()))) << k << " " << elementName(other);
        }
    }
}

// Screenshots of pages 3 to 6 and of the run, by keys, with `scale` as Qt's
// device-pixel scale factor.
std::vector<QImage> pageShots(const BuiltDataSet& data, const char* scale) {
    const auto file = [&](const char* name) { return (data.root() / name).string(); };
    ::setenv("QT_SCALE_FACTOR", scale, 1);
    const auto run = runDriver(data, "--today 2026-12-07",
                               "key 1\nkey 1\nkey Right\nshot " + file("3.png") + "\nkey Return\nshot " +
                                   file("4.png") + "\nafter 9000 shot " + file("run.png") + "\nkey 5\nshot " +
                                   file("5.png") + "\nkey 1\nshot " + file("6.png") + "\n");
    ::unsetenv("QT_SCALE_FACTOR");
    EXPECT_EQ(run.status, 0) << run.errors;
    std::vector<QImage> shots;
    for (const char* name : {"3.png", "4.png", "run.png", "5.png", "6.png"})
        shots.push_back(QImage(QString::fromStdString(file(name))).convertToFormat(QImage::Format_RGB32));
    return shots;
}

// How many pixels of `rect` are dark, as text and outlines are.
int darkPixels(const QImage& image, const QRect& rect) {
    int dark = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) dark += image.pixelColor(x, y).lightness() < 110;
    return dark;
}

TEST(DriverKeys, ScreenshotsOfPages3To6ShowTheAddedElements) {
    BuiltDataSet data;
    const auto shots = pageShots(data, "1");
    for (const QImage& shot : shots) ASSERT_EQ(shot.size(), QSize(1016, 713));
    const QImage &keyPage = shots[0], &tempo = shots[1], &run = shots[2], &answers = shots[3], &grade = shots[4];
    const auto place = [&](ElementId id) { return placeOf(id, data.root()); };
    // The caption's text on every page, in its white box.
    for (const QImage* shot : {&keyPage, &tempo, &answers, &grade}) {
        EXPECT_GT(darkPixels(*shot, place(el::Where_lbl)), 100);
        EXPECT_EQ(shot->pixelColor(place(el::Where_lbl).bottomRight() - QPoint(1, 1)), QColor(Qt::white));
    }
    EXPECT_GT(darkPixels(run, place(el::Where_run_lbl)), 200) << "two lines";
    // The frame, orange, on the second key; none on the first.
    const QRect frame = place(el::Key_frm(1));
    const QColor ring = keyPage.pixelColor(frame.left() + 1, frame.center().y());
    EXPECT_GT(ring.red(), 200);
    EXPECT_LT(ring.blue(), 80);
    EXPECT_NE(keyPage.pixelColor(place(el::Key_frm(0)).left() + 1, frame.center().y()), ring);
    // The answer buttons carry their digits at the right; the ladder and the
    // record stand on page 6 only.
    for (int n = 1; n <= 4; ++n) {
        const QRect button = place(el::P5_Btn(n));
        EXPECT_GT(darkPixels(answers, QRect(button.right() - 34, button.top() + 16, 26, 32)), 10) << n;
    }
    EXPECT_GT(darkPixels(grade, place(el::Ladder_lbl)), 400);
    EXPECT_GT(darkPixels(grade, place(el::Record_lbl)), 300);
    EXPECT_EQ(darkPixels(answers, place(el::Ladder_lbl)), 0);
}

TEST(DriverKeys, AtScaleFactor2ThePagesKeepTheirLayout) {
    BuiltDataSet data;
    const auto normal = pageShots(data, "1");
    BuiltDataSet data2;
    const auto doubled = pageShots(data2, "2");
    for (std::size_t page = 0; page < normal.size(); ++page) {
        ASSERT_EQ(doubled[page].size(), QSize(2032, 1426)) << page;
        // Shrunk back, every page is the same picture but for the edges of text.
        const QImage shrunk =
            doubled[page].scaled(normal[page].size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        long long difference = 0;
        int far = 0;
        for (int y = 0; y < 713; ++y)
            for (int x = 0; x < 1016; ++x) {
                const QColor a = normal[page].pixelColor(x, y), b = shrunk.pixelColor(x, y);
                const int d =
                    std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
                difference += d;
                far += d > 240;
            }
        // Text and pictures are drawn anew at the larger size (the pictures
        // from their twins), so their edges differ a little.
        EXPECT_LT(static_cast<double>(difference) / (1016.0 * 713.0), 12.0) << "page " << page;
        EXPECT_LT(far, 1016 * 713 / 50) << "page " << page;
    }
    // Pictures are their twins, drawn at twice the size, not enlarged: inside
    // buttons, pixel for pixel.
    const std::tuple<std::size_t, ElementId, const char*> buttons[] = {
        {0, el::P3_Btn(5), "B_CS05"}, {0, el::P3_BtnA, "modoru"},    {1, el::P4_Btn(5), "4_120"},
        {3, el::P5_Btn(1), "5_0"},    {4, el::P6_Btn(2), "6_tempo"},
    };
    for (const auto& [page, id, file] : buttons) {
        const QRect button = placeOf(id, data.root());
        const QImage twin(
            QString::fromStdString((data.root() / "system/hyouji/button" / (std::string(file) + "@2x.gif")).string()));
        ASSERT_EQ(twin.size(), button.size() * 2) << file;
        for (int y = button.top() + 4; y < button.bottom() - 4; y += 3)
            for (int x = button.left() + 4; x < button.right() - 4; x += 5)
                for (const QPoint half : {QPoint(0, 0), QPoint(1, 1)})
                    ASSERT_EQ(doubled[page].pixelColor(QPoint(2 * x, 2 * y) + half),
                              twin.pixelColor(QPoint(2 * (x - button.left()), 2 * (y - button.top())) + half))
                        << elementName(id) << " " << x << "," << y;
    }
}

}  // namespace
}  // namespace tarvel
