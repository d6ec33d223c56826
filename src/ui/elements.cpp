#include "ui/elements.h"

#include <array>
#include <charconv>
#include <stdexcept>

namespace tarvel {
namespace {

struct Place {
    ElementId id;
    const char* name;
    ElementKind kind;
    int left, top;
    int width = 0, height = 0;
};

// The elements that are not part of a grid, with their places in twips.
const Place kPlaces[] = {
    {el::Label1, "Label1", ElementKind::Label, 3960, 0, 8412, 5652},
    {el::Check1, "Check1", ElementKind::CheckBox, 6600, 1680, 3132, 492},
    {el::title_img, "title_img", ElementKind::Picture, 4320, 2040},
    {el::Cancel_img, "Cancel_img", ElementKind::Picture, 120, 240, 372, 372},
    {el::Gosen_img1, "Gosen_img1", ElementKind::Picture, 840, 0},
    {el::Gosen_img2, "Gosen_img2", ElementKind::Picture, 840, 5400},
    {el::Choshi(0), "Choshi", ElementKind::Picture, 360, 0},
    {el::Choshi(1), "Choshi", ElementKind::Picture, 360, 5400},
    {el::P1_Btn1, "P1_Btn1", ElementKind::Picture, 6360, 7200},
    {el::P1_Btn2, "P1_Btn2", ElementKind::Picture, 6360, 7920},
    {el::P1_Btn3, "P1_Btn3", ElementKind::Picture, 6360, 8640, 252, 252},
    {el::P2_Btn1, "P2_Btn1", ElementKind::Picture, 6360, 7200},
    {el::P2_Btn2, "P2_Btn2", ElementKind::Picture, 6360, 7920},
    {el::P2_Btn3, "P2_Btn3", ElementKind::Picture, 6360, 8640},
    {el::P2_Btn4, "P2_Btn4", ElementKind::Picture, 6360, 9360},
    {el::P3_BtnA, "P3_BtnA", ElementKind::Picture, 1680, 600},
    {el::P3_BtnB, "P3_BtnB", ElementKind::Picture, 1680, 1320},
    {el::P4_Btn(1), "P4_Btn1", ElementKind::Picture, 1800, 3960},
    {el::P4_Btn(2), "P4_Btn2", ElementKind::Picture, 4200, 3960},
    {el::P4_Btn(3), "P4_Btn3", ElementKind::Picture, 6600, 3960},
    {el::P4_Btn(4), "P4_Btn4", ElementKind::Picture, 9000, 3960},
    {el::P4_Btn(5), "P4_Btn5", ElementKind::Picture, 11400, 3960},
    {el::P4_Btn(6), "P4_Btn6", ElementKind::Picture, 3000, 5040},
    {el::P4_Btn(7), "P4_Btn7", ElementKind::Picture, 5400, 5040},
    {el::P4_Btn(8), "P4_Btn8", ElementKind::Picture, 7800, 5040},
    {el::P4_Btn(9), "P4_Btn9", ElementKind::Picture, 10200, 5040},
    {el::P4_BtnA, "P4_BtnA", ElementKind::Picture, 1680, 600},
    {el::P5_Btn(1), "P5_Btn1", ElementKind::Picture, 6000, 5640},
    {el::P5_Btn(2), "P5_Btn2", ElementKind::Picture, 2400, 6720},
    {el::P5_Btn(3), "P5_Btn3", ElementKind::Picture, 6000, 6720},
    {el::P5_Btn(4), "P5_Btn4", ElementKind::Picture, 9600, 6720},
    {el::P6_Btn(1), "P6_Btn1", ElementKind::Picture, 6000, 5640},
    {el::P6_Btn(2), "P6_Btn2", ElementKind::Picture, 4080, 6720},
    {el::P6_Btn(3), "P6_Btn3", ElementKind::Picture, 7680, 6720},
    // The progress page and its button on the key page, in space the other pages leave free.
    {el::P3_BtnC, "P3_BtnC", ElementKind::Picture, 240, 600},
    {el::P7_BtnA, "P7_BtnA", ElementKind::Picture, 1680, 600},
    {el::P7_Key, "P7_Key", ElementKind::Choice, 240, 1500, 3600, 450},
    {el::P7_Days, "P7_Days", ElementKind::Label, 4080, 1500, 7200, 450},
    {el::P7_Chart, "P7_Chart", ElementKind::Chart, 240, 2040, 14760, 4740},
    {el::P7_Table, "P7_Table", ElementKind::Table, 240, 6900, 9900, 3660},
    {el::P7_BtnB, "P7_BtnB", ElementKind::Picture, 10440, 6900},
    {el::P7_Note, "P7_Note", ElementKind::Label, 10440, 7980, 4560, 1560},
    // The progress page's way to the weak notes, in the top right corner under
    // the "？"; taking a run back, under the export's note.
    {el::P7_BtnC, "P7_BtnC", ElementKind::Picture, 12450, 840},
    {el::P7_BtnD, "P7_BtnD", ElementKind::Picture, 10440, 9630},
    // Page 5: the run's intonation, right of the slips.
    {el::Lab_Tune, "Lab_Tune", ElementKind::Label, 12450, 1500, 2700, 4050},
    // Page 8, the weak notes: laid out as the progress page, the diagrams in
    // a row under the heading, the tuning chart under them.
    {el::P8_BtnA, "P8_BtnA", ElementKind::Picture, 1680, 600},
    {el::P8_BtnD, "P8_BtnD", ElementKind::Picture, 12450, 840},
    {el::P8_Note, "P8_Note", ElementKind::Label, 240, 2100, 14760, 540},
    {el::P8_Tune, "P8_Tune", ElementKind::Chart, 240, 5940, 14760, 4590},
    // The key page's line on the keys due today, under the last row.
    {el::Due_note, "Due_note", ElementKind::Label, 240, 10170, 14760, 420},
    // Under the tempo buttons, where the tempo page is empty.
    {el::Check2, "Check2", ElementKind::CheckBox, 6150, 6600, 3132, 492},
    {el::Lab_Oto, "Lab_Oto", ElementKind::Label, 9525, 6720, 3600, 300},  // on the line of the box's caption
    // Free space: above the back buttons of pages 3 and 4, which stay empty on
    // pages 5 and 6; the left margin between the staves of the run; the right
    // margin and the left of page 6 beside the message label.
    {el::Where_lbl, "Where_lbl", ElementKind::Label, 120, 150, 3720, 300},
    {el::Where_run_lbl, "Where_run_lbl", ElementKind::Label, 60, 10080, 2520, 600},  // under the large diagram's keys
    {el::Ladder_lbl, "Ladder_lbl", ElementKind::Label, 13080, 360, 1500, 3960},
    {el::Record_lbl, "Record_lbl", ElementKind::Label, 240, 3000, 2640, 1080},
    // Listening, in free space: below the metronome's row on the tempo page;
    // left of the finger diagrams during the count-in; on page 5 under its
    // question and beside the answer buttons.
    {el::Check3, "Check3", ElementKind::CheckBox, 6150, 7320, 3132, 492},
    {el::Cmb_Mic, "Cmb_Mic", ElementKind::Choice, 9525, 7320, 4200, 492},
    {el::Lab_Mic, "Lab_Mic", ElementKind::Label, 6150, 7920, 7575, 372},
    {el::Lab_Onryo, "Lab_Onryo", ElementKind::Label, 120, 3000, 2400, 720},
    {el::Lab_Miss, "Lab_Miss", ElementKind::Label, 4200, 1500, 7980, 4020},
    {el::Lab_A4, "Lab_A4", ElementKind::Label, 6150, 8460, 3132, 420},
    {el::Cmb_A4, "Cmb_A4", ElementKind::Choice, 9525, 8460, 4200, 420},
    {el::Lab_Teian(0), "Lab_Teian", ElementKind::Label, 9480, 5850, 2100, 420},
    {el::Lab_Teian(1), "Lab_Teian", ElementKind::Label, 2400, 7740, 2100, 420},
    {el::Lab_Teian(2), "Lab_Teian", ElementKind::Label, 6000, 7740, 2100, 420},
    {el::Lab_Teian(3), "Lab_Teian", ElementKind::Label, 9600, 7740, 2100, 420},
    // About Tarvel: its button in page 1's empty top right corner, left of
    // the "？"; the page has the back buttons' place, its text on the white
    // message label under its title, and its one button below the label.
    {el::About_Btn, "About_Btn", ElementKind::Picture, 13800, 60},
    {el::About_BtnA, "About_BtnA", ElementKind::Picture, 1680, 600},
    {el::About_lbl, "About_lbl", ElementKind::Label, 4320, 1800, 7920, 3750},
    {el::About_BtnB, "About_BtnB", ElementKind::Picture, 6360, 6000},
    // The run screen's left margin, between the clefs and key signatures of
    // the two staves: the large diagram (90 x 270 px); under the lower staff's
    // band, the keys it presses.
    {el::Big_keys, "Big_keys", ElementKind::Label, 60, 8430, 2520, 1590},
    // The help page covers the window; its "？" stands in the top right corner,
    // right of page 6's grade ladder.
    {el::Help_Btn, "Help_Btn", ElementKind::Picture, 14640, 90},
    {el::Help_bg, "Help_bg", ElementKind::Label, 0, 0, 15240, 10692},
    {el::Help_legend, "Help_legend", ElementKind::Picture, 180, 180},
    {el::Help_Ladder, "Help_Ladder", ElementKind::Label, 8100, 240, 6960, 4560},
    {el::Help_Keys, "Help_Keys", ElementKind::Label, 8100, 6000, 6960, 3480},
    {el::Help_BtnS, "Help_BtnS", ElementKind::Picture, 8100, 9840},
    {el::Help_BtnA, "Help_BtnA", ElementKind::Picture, 13260, 9840},
    {el::Help_BtnB, "Help_BtnB", ElementKind::Picture, 8100, 4980},         // between the grades and the keys
    {el::About_ttl, "About_ttl", ElementKind::Label, 3960, 0, 8412, 1800},  // where page 1's message label has it
    // Page 5, under the answer buttons and their marks.
    {el::P5_Choshi, "P5_Choshi", ElementKind::Picture, 420, kScoreTop * 15},
    {el::P5_Legend, "P5_Legend", ElementKind::Picture, 1200, 9900},
};

// The key-page grid: button tops per row, lefts of the first row; rows 2 to 4
// stand at 1320 + 1980 m. Labels stand 1200 twips below their buttons.
constexpr std::array<int, 4> kKeyRowTop{2280, 4080, 6000, 7920};
constexpr std::array<int, 8> kKeyRow1Left{240, 2115, 3975, 5850, 7710, 9585, 11445, 13320};
constexpr int kKeyLabelBelow = 1200;
// A best-result badge lies in the empty lower right corner of its key button,
// under the staff and clear of the label below.
constexpr int kBadgeRight = 750;
constexpr int kBadgeBelow = 990;
constexpr int kBadgeWidth = 960;
constexpr int kBadgeHeight = 210;
// The keyboard frame stands 3 px around a key button of at most 116 x 76 px.
constexpr int kFrameMargin = 45;
constexpr int kFrameWidth = 1830;
constexpr int kFrameHeight = 1230;

int keyRow(int k) { return k < 8 ? 0 : 1 + (k - 8) / 7; }
int keyLeft(int k) { return k < 8 ? kKeyRow1Left[k] : 1320 + 1980 * ((k - 8) % 7); }

constexpr int kStaffPitch = 5400;    // lower staff below the upper one
constexpr int kFingersBelow = 3000;  // finger diagrams below the top of their note

const ElementFont kDefaultLabel1Font{"ＭＳ Ｐゴシック", 9, false};
const ElementFont kResultLabelFont{"MS UI Gothic", 10.2, true};
const ElementFont kCheckBoxFont{"MS UI Gothic", 10.8, false};
const ElementFont kListenFont{"MS UI Gothic", 10.8, false};
const ElementFont kSlipsFont{"MS UI Gothic", 14, false};
const ElementFont kProposalFont{"MS UI Gothic", 12, true};
const ElementFont kBadgeFont{"MS UI Gothic", 7.5, true};
const ElementFont kProgressFont{"MS UI Gothic", 10.5, false};
const ElementFont kDaysFont{"MS UI Gothic", 12, true};
const ElementFont kWindowFont{"MS UI Gothic", 9, false};
const ElementFont kLadderFont{"MS UI Gothic", 12, true};
const ElementFont kRecordFont{"MS UI Gothic", 12, false};
const ElementFont kBigKeysFont{"MS UI Gothic", 10.5, true};
const ElementFont kHelpFont{"MS UI Gothic", 10.5, false};
const ElementFont kScoreRowFont{"MS UI Gothic", 9, true};
const ElementFont kTuneFont{"MS UI Gothic", 10.5, false};
const ElementFont kWeakFont{"MS UI Gothic", 9, false};
const ElementFont kWeakHeadFont{"MS UI Gothic", 11, true};
const ElementFont kDueFont{"MS UI Gothic", 10.5, true};

// Page 8's weak notes: one column each, 124 px apart; the diagram centred
// over its figures.
constexpr int kWeakLeft = 240;
constexpr int kWeakPitch = 1860;
constexpr int kWeakFingerInset = 525;
constexpr int kWeakFingerTop = 2670;
constexpr int kWeakFiguresTop = 4950;
// A key's "due today" tag: under its result label, as wide.
constexpr int kDueBelow = 1470;
const ElementFont kAboutFont{"MS UI Gothic", 11, false};
const ElementFont kAboutTitleFont{"MS UI Gothic", 32, false};  // the message label's prompt

// The large diagram's place: between the upper staff's clef (to y 156) and
// the lower staff's key signature (from y 436), centred in the left margin.
constexpr int kBigFingerLeft = 645;
constexpr int kBigFingerTop = 2400;

void name(ElementSpec& e, const char* base, int index) {
    e.name = base;
    e.index = index;
}

void placeAt(ElementSpec& e, int left, int top, ElementKind kind = ElementKind::Picture) {
    e.kind = kind;
    e.leftTwips = left;
    e.topTwips = top;
}

// The elements of element arrays that teach at a glance: the run's mark and
// large diagram, page 5's small staff; and the fonts and buttons of the rest.
void addTeachingElements(std::vector<ElementSpec>& table) {
    for (int i = 0; i < el::nowMarkCount; ++i) {
        ElementSpec& mark = table[el::Now_mark(i)];
        name(mark, "Now_mark", i);
        placeAt(mark, Slot_x(i % el::notesPerRow), i < el::notesPerRow ? 0 : kStaffPitch);
    }
    for (int k = 0; k < el::fingersPerNote; ++k) {
        name(table[el::Big_finger(k)], "Big_finger", k);
        placeAt(table[el::Big_finger(k)], kBigFingerLeft, kBigFingerTop);
    }
    table[el::Big_keys].font = kBigKeysFont;
    for (const ElementId id : {el::Help_bg, el::Help_Ladder, el::Help_Keys}) table[id].font = kHelpFont;
    for (const ElementId id : {el::Help_Btn, el::Help_BtnS, el::Help_BtnA, el::Help_BtnB}) table[id].button = true;
    for (int r = 0; r < el::scoreRows; ++r) {
        name(table[el::P5_Staff(r)], "P5_Staff", r);
        placeAt(table[el::P5_Staff(r)], scoreStaffLeft(r) * 15, kScoreTop * 15);
        ElementSpec& row = table[el::P5_Row(r)];
        name(row, "P5_Row", r);
        placeAt(row, scoreNoteLeft(el::notesPerRow * r) * 15, (kScoreTop - 16) * 15, ElementKind::Label);
        row.widthTwips = 900;
        row.heightTwips = 240;
        row.font = kScoreRowFont;
    }
    for (int i = 0; i < el::scoreNotes; ++i) {
        const int left = scoreNoteLeft(i) * 15;
        name(table[el::P5_Note(i)], "P5_Note", i);
        placeAt(table[el::P5_Note(i)], left, kScoreTop * 15);
        name(table[el::P5_Mark(i)], "P5_Mark", i);
        placeAt(table[el::P5_Mark(i)], left - kScoreMarkOverhang * 15, kScoreTop * 15);
        name(table[el::P5_Extra(i)], "P5_Extra", i);
        placeAt(table[el::P5_Extra(i)], left + 12 * 15, kScoreTop * 15);
    }
    table[el::Lab_Tune].font = kTuneFont;
    table[el::P8_Note].font = kWeakHeadFont;
    table[el::P8_Tune].font = kProgressFont;
    table[el::Due_note].font = kDueFont;
    for (int i = 0; i < el::weakShown; ++i) {
        ElementSpec& figures = table[el::P8_Weak(i)];
        name(figures, "P8_Weak", i);
        placeAt(figures, kWeakLeft + kWeakPitch * i, kWeakFiguresTop, ElementKind::Label);
        figures.widthTwips = kWeakPitch - 60;
        figures.heightTwips = 900;
        figures.font = kWeakFont;
        for (int f = 0; f < el::fingersPerNote; ++f) {
            const int slot = el::fingersPerNote * i + f;
            name(table[el::P8_Fng(slot)], "P8_Fng", slot);
            placeAt(table[el::P8_Fng(slot)], kWeakLeft + kWeakPitch * i + kWeakFingerInset, kWeakFingerTop);
        }
    }
    for (const ElementId id : {el::P7_BtnC, el::P7_BtnD, el::P8_BtnA, el::P8_BtnD}) table[id].button = true;
    // As far left of the first note as the others stand right of theirs' next.
    table[el::P5_ExtraFirst].name = "P5_ExtraFirst";
    placeAt(table[el::P5_ExtraFirst], (scoreNoteLeft(0) - 7) * 15, kScoreTop * 15);
}

std::vector<ElementSpec> buildTable() {
    std::vector<ElementSpec> table(el::elementCount);
    for (const Place& p : kPlaces) {
        ElementSpec& e = table[p.id];
        e.name = p.name;
        e.kind = p.kind;
        e.leftTwips = p.left;
        e.topTwips = p.top;
        e.widthTwips = p.width;
        e.heightTwips = p.height;
    }
    table[el::Choshi(0)].index = 0;
    table[el::Choshi(1)].index = 1;
    table[el::P1_Btn3].takesClicksWhenEmpty = true;
    table[el::Label1].font = kDefaultLabel1Font;
    table[el::Check1].font = kCheckBoxFont;
    table[el::Check1].initialCaption = "調性を音符に表示";
    // The program keeps no settings: the metronome is on at every start.
    table[el::Check2].font = kCheckBoxFont;
    table[el::Check2].initialCaption = "メトロノーム";
    table[el::Check2].initiallyChecked = true;
    table[el::Lab_Oto].font = kCheckBoxFont;
    table[el::Lab_Oto].initialCaption = "音を出せる装置が見つかりません";
    table[el::Where_lbl].font = kWindowFont;
    table[el::Where_run_lbl].font = kWindowFont;
    table[el::Ladder_lbl].font = kLadderFont;
    table[el::Record_lbl].font = kRecordFont;
    table[el::Cancel_img].button = true;
    table[el::Check3].initialCaption = "マイクで聴く";
    for (const ElementId id : {el::Check3, el::Cmb_Mic, el::Lab_Mic, el::Lab_Onryo, el::Lab_A4, el::Cmb_A4})
        table[id].font = kListenFont;
    table[el::Lab_A4].initialCaption = "　基準の音（A4）";
    table[el::Lab_Miss].font = kSlipsFont;
    for (int k = 0; k < 4; ++k) {
        table[el::Lab_Teian(k)].index = k;
        table[el::Lab_Teian(k)].font = kProposalFont;
    }
    table[el::About_lbl].font = kAboutFont;
    table[el::About_ttl].font = kAboutTitleFont;
    for (ElementId id = el::Check3; id < el::elementCount; ++id) table[id].hiddenAtStart = true;
    addTeachingElements(table);

    for (int k = 0; k < el::keyCount; ++k) {
        ElementSpec& button = table[el::P3_Btn(k)];
        button.name = "P3_Btn" + std::to_string(k);
        button.leftTwips = keyLeft(k);
        button.topTwips = kKeyRowTop[keyRow(k)];

        ElementSpec& label = table[el::Lab_S1(k)];
        label.name = "Lab_S1";
        label.index = k;
        label.kind = ElementKind::Label;
        label.leftTwips = button.leftTwips;
        label.topTwips = button.topTwips + kKeyLabelBelow;
        label.widthTwips = 1692;
        label.heightTwips = 252;
        label.font = kResultLabelFont;
        label.initialCaption = "S1";

        ElementSpec& badge = table[el::Best_lbl(k)];
        badge.name = "Best_lbl";
        badge.index = k;
        badge.kind = ElementKind::Label;
        badge.leftTwips = button.leftTwips + kBadgeRight;
        badge.topTwips = button.topTwips + kBadgeBelow;
        badge.widthTwips = kBadgeWidth;
        badge.heightTwips = kBadgeHeight;
        badge.font = kBadgeFont;
        badge.badge = true;
        ElementSpec& due = table[el::Due_lbl(k)];
        name(due, "Due_lbl", k);
        placeAt(due, button.leftTwips, button.topTwips + kDueBelow, ElementKind::Label);
        due.widthTwips = 1692;
        due.heightTwips = 240;
        due.font = kBadgeFont;
        due.badge = true;
        ElementSpec& frame = table[el::Key_frm(k)];
        frame.name = "Key_frm";
        frame.index = k;
        frame.kind = ElementKind::Frame;
        frame.leftTwips = button.leftTwips - kFrameMargin;
        frame.topTwips = button.topTwips - kFrameMargin;
        frame.widthTwips = kFrameWidth;
        frame.heightTwips = kFrameHeight;
    }
    for (ElementId id : {el::P7_Key, el::P7_Chart, el::P7_Table, el::P7_Note}) table[id].font = kProgressFont;
    table[el::P7_Days].font = kDaysFont;

    for (int i = 0; i < el::noteSlotCount; ++i) {
        const int left = Slot_x(i % el::notesPerRow);
        const int staffTop = (i / el::notesPerRow) % 2 == 0 ? 0 : kStaffPitch;
        ElementSpec& note = table[el::onp_img(i)];
        note.name = "onp_img";
        note.index = i;
        note.leftTwips = left;
        note.topTwips = staffTop;
        for (int f = 0; f < el::fingersPerNote; ++f) {
            const int slot = el::fingersPerNote * i + f;
            ElementSpec& finger = table[el::Uns_img(slot)];
            finger.name = "Uns_img";
            finger.index = slot;
            finger.leftTwips = left;
            finger.topTwips = staffTop + kFingersBelow;
        }
    }

    // Every page button (the key buttons included; not their labels).
    for (ElementId id = el::P1_Btn1; id <= el::P6_Btn(3); ++id)
        if (table[id].kind == ElementKind::Picture) table[id].button = true;
    for (const ElementId id : {el::P3_BtnC, el::P7_BtnA, el::P7_BtnB}) table[id].button = true;
    for (const ElementId id : {el::About_Btn, el::About_BtnA, el::About_BtnB}) table[id].button = true;

    const std::vector<ElementId>& order = stackingOrderFromTop();
    for (int rank = 0; rank < static_cast<int>(order.size()); ++rank) table[order[rank]].stackRank = rank;
    return table;
}

void appendSlots(std::vector<ElementId>& order, int first, int last) {
    for (int i = first; i <= last; ++i) {
        order.push_back(el::onp_img(i));
        for (int f = 0; f < el::fingersPerNote; ++f) order.push_back(el::Uns_img(el::fingersPerNote * i + f));
    }
}

std::vector<ElementId> buildStackingOrder() {
    std::vector<ElementId> order;
    order.reserve(el::elementCount);
    // The help page lies over everything, its background under its own
    // elements; About Tarvel, opened from the help, lies on that background.
    for (const ElementId id :
         {el::About_BtnA, el::About_BtnB, el::About_lbl, el::About_ttl, el::Help_BtnA, el::Help_BtnB, el::Help_BtnS,
          el::Help_legend, el::Help_Ladder, el::Help_Keys, el::Help_bg})
        order.push_back(id);
    order.push_back(el::Check1);
    for (ElementId id = el::kProgressFirst; id < el::Where_lbl; ++id) order.push_back(id);
    for (ElementId id = el::Check3; id <= el::About_Btn; ++id) order.push_back(id);  // listening, About's button
    // The mark over the notes; the large diagram and page 5's staff, in free
    // space, each mark and note over its staff.
    for (ElementId id = el::Now_mark(0); id <= el::Help_Btn; ++id) order.push_back(id);
    for (ElementId id = el::P5_Row(0); id <= el::P5_Legend; ++id) order.push_back(id);
    order.push_back(el::P5_ExtraFirst);
    for (ElementId id = el::P5_Extra(el::scoreNotes - 1); id >= el::P5_Choshi; --id) order.push_back(id);
    for (int r = 0; r < el::scoreRows; ++r) order.push_back(el::P5_Staff(r));
    order.push_back(el::P3_Btn(3));
    order.push_back(el::Cancel_img);
    order.push_back(el::Choshi(0));
    order.push_back(el::Choshi(1));
    appendSlots(order, 224, 319);
    order.push_back(el::P4_BtnA);
    for (int k = 22; k <= 28; ++k) order.push_back(el::Lab_S1(k));
    for (int n = 1; n <= 3; ++n) order.push_back(el::P6_Btn(n));
    for (int n = 1; n <= 4; ++n) order.push_back(el::P5_Btn(n));
    for (int n = 1; n <= 9; ++n) order.push_back(el::P4_Btn(n));
    order.push_back(el::P3_BtnA);
    order.push_back(el::P3_BtnB);
    for (int k = 0; k < el::keyCount; ++k)
        if (k != 3) order.push_back(el::P3_Btn(k));
    for (ElementId id = el::P2_Btn1; id <= el::P2_Btn4; ++id) order.push_back(id);
    for (ElementId id = el::P1_Btn1; id <= el::P1_Btn3; ++id) order.push_back(id);
    appendSlots(order, 0, 223);
    order.push_back(el::Gosen_img1);
    order.push_back(el::title_img);
    for (int k = 0; k <= 21; ++k) order.push_back(el::Lab_S1(k));
    order.push_back(el::Gosen_img2);
    // The added elements share no place with the others: just above Label1.
    order.push_back(el::Where_lbl);
    order.push_back(el::Where_run_lbl);
    for (ElementId id = el::Lab_Tune; id < el::elementCount; ++id) order.push_back(id);
    for (int k = 0; k < el::keyCount; ++k) order.push_back(el::Key_frm(k));
    order.push_back(el::Ladder_lbl);
    order.push_back(el::Record_lbl);
    order.push_back(el::Label1);
    if (order.size() != static_cast<std::size_t>(el::elementCount))
        throw std::logic_error("the stacking order does not name every element once");
    return order;
}

}  // namespace

const std::vector<ElementId>& stackingOrderFromTop() {
    static const std::vector<ElementId> order = buildStackingOrder();
    return order;
}

const std::vector<ElementSpec>& elementTable() {
    static const std::vector<ElementSpec> table = buildTable();
    return table;
}

const ElementSpec& element(ElementId id) { return elementTable().at(static_cast<std::size_t>(id)); }

std::string elementName(ElementId id) {
    const ElementSpec& e = element(id);
    if (e.index < 0) return e.name;
    return e.name + "(" + std::to_string(e.index) + ")";
}

std::optional<ElementId> findElement(std::string_view name) {
    std::string_view base = name;
    int index = -1;
    if (const auto open = name.find('('); open != std::string_view::npos) {
        if (name.back() != ')') return std::nullopt;
        base = name.substr(0, open);
        const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
        if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    }
    const auto& table = elementTable();
    for (ElementId id = 0; id < static_cast<ElementId>(table.size()); ++id)
        if (table[id].name == base && table[id].index == index) return id;
    return std::nullopt;
}

}  // namespace tarvel
