// The window's elements: every picture, label and the check box that any page
// ever shows, created once at a fixed place. Elements are addressed by an id;
// `el` gives the ids by the names the program uses for them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keys/key_table.h"

namespace tarvel {

using ElementId = int;

enum class ElementKind {
    Picture,
    Label,
    CheckBox,
    Choice,  // a drop-down list of texts; choosing one is delivered like a click
    Chart,   // grades over time, one line per tempo
    Table,   // rows of texts under a header
    Frame,   // an outline around a key button; it takes no clicks
};

struct ElementFont {
    std::string name;
    double points = 0;
    bool bold = false;
};

struct ElementSpec {
    std::string name;  // "P3_Btn12", "onp_img"
    int index = -1;    // index within an element array, -1 for a single element
    ElementKind kind = ElementKind::Picture;
    int leftTwips = 0;
    int topTwips = 0;
    // Labels and the check box: their fixed size. Pictures: the size they keep
    // until they are given a picture (zero for most).
    int widthTwips = 0;
    int heightTwips = 0;
    // Only the unmarked square of page 1 reacts to clicks while it has no picture.
    bool takesClicksWhenEmpty = false;
    // A page button or the cancel picture: its click runs a handler.
    bool button = false;
    bool initiallyChecked = false;  // check boxes
    ElementFont font;               // labels and the check box
    bool badge = false;             // a label drawn as a small tag over a button's corner
    std::string initialCaption;     // labels and the check box
    int stackRank = 0;              // 0 is drawn over every other element
    bool hiddenAtStart = false;     // created hidden: elements only some pages show
};

namespace el {
inline constexpr int keyCount = kKeyCount;
inline constexpr int noteSlotCount = 320;
inline constexpr int fingersPerNote = 9;
inline constexpr int fingerSlotCount = noteSlotCount * fingersPerNote;
inline constexpr int notesPerRow = 16;

inline constexpr ElementId Label1 = 0;
inline constexpr ElementId Check1 = 1;
inline constexpr ElementId title_img = 2;
inline constexpr ElementId Cancel_img = 3;
inline constexpr ElementId Gosen_img1 = 4;
inline constexpr ElementId Gosen_img2 = 5;
constexpr ElementId Choshi(int r) { return 6 + r; }  // r = 0 upper staff, 1 lower
inline constexpr ElementId P1_Btn1 = 8;
inline constexpr ElementId P1_Btn2 = 9;
inline constexpr ElementId P1_Btn3 = 10;
inline constexpr ElementId P2_Btn1 = 11;
inline constexpr ElementId P2_Btn2 = 12;
inline constexpr ElementId P2_Btn3 = 13;
inline constexpr ElementId P2_Btn4 = 14;
inline constexpr ElementId P3_BtnA = 15;
inline constexpr ElementId P3_BtnB = 16;
constexpr ElementId P3_Btn(int k) { return 17 + k; }  // k = 0 .. 28
constexpr ElementId Lab_S1(int k) { return 46 + k; }  // k = 0 .. 28
constexpr ElementId P4_Btn(int n) { return 74 + n; }  // n = 1 .. 9
inline constexpr ElementId P4_BtnA = 84;
constexpr ElementId P5_Btn(int n) { return 84 + n; }    // n = 1 .. 4
constexpr ElementId P6_Btn(int n) { return 88 + n; }    // n = 1 .. 3
constexpr ElementId onp_img(int i) { return 92 + i; }   // i = 0 .. 319
constexpr ElementId Uns_img(int i) { return 412 + i; }  // i = 0 .. 2879

// Added after the elements of the original pages: the key page's best results
// and its way to the progress page (page 7).
inline constexpr ElementId kProgressFirst = 412 + fingerSlotCount;
constexpr ElementId Best_lbl(int k) { return kProgressFirst + k; }  // k = 0 .. 28
inline constexpr ElementId P3_BtnC = kProgressFirst + keyCount;     // key page: to the progress page
inline constexpr ElementId P7_BtnA = kProgressFirst + 30;           // progress page: back to the key page
inline constexpr ElementId P7_BtnB = kProgressFirst + 31;           // progress page: export as CSV
inline constexpr ElementId P7_Key = kProgressFirst + 32;            // the key whose chart shows
inline constexpr ElementId P7_Chart = kProgressFirst + 33;
inline constexpr ElementId P7_Table = kProgressFirst + 34;  // the last runs
inline constexpr ElementId P7_Days = kProgressFirst + 35;   // days practised this week and month
inline constexpr ElementId P7_Note = kProgressFirst + 36;   // where the export went

// The tempo page's metronome box, and its note when no sound device was found.
inline constexpr ElementId Check2 = kProgressFirst + 37;
inline constexpr ElementId Lab_Oto = Check2 + 1;
// Then, in free space: where the player is, the key page's keyboard frame and
// what page 6 says about the grade.
inline constexpr ElementId Where_lbl = Lab_Oto + 1;               // pages 3 to 6
inline constexpr ElementId Where_run_lbl = Where_lbl + 1;         // the run screen
constexpr ElementId Key_frm(int k) { return Where_lbl + 2 + k; }  // k = 0 .. 28
inline constexpr ElementId Ladder_lbl = Key_frm(keyCount);
inline constexpr ElementId Record_lbl = Ladder_lbl + 1;

// Listening: the tempo page's check box, input list and note; the count-in's
// level indicator; page 5's count of slips and the mark of the proposed answer.
inline constexpr ElementId Check3 = Record_lbl + 1;
inline constexpr ElementId Cmb_Mic = Check3 + 1;
inline constexpr ElementId Lab_Mic = Check3 + 2;
inline constexpr ElementId Lab_Onryo = Check3 + 3;
inline constexpr ElementId Lab_Miss = Check3 + 4;
constexpr ElementId Lab_Teian(int k) { return Check3 + 5 + k; }  // k = 0 .. 3, beside P5_Btn(k + 1)
// The concert pitch the player tunes to, under the input list.
inline constexpr ElementId Lab_A4 = Check3 + 9;
inline constexpr ElementId Cmb_A4 = Check3 + 10;
// About Tarvel: page 1's way there, and the page itself (its back button, the
// button that opens the data folder, its text).
inline constexpr ElementId About_Btn = Check3 + 11;
inline constexpr ElementId About_BtnA = About_Btn + 1;
inline constexpr ElementId About_BtnB = About_Btn + 2;
inline constexpr ElementId About_lbl = About_Btn + 3;

// What teaches at a glance, in free space. The run screen: the mark on the
// note being played (one place per note column of each staff, the places of
// onp_img(0 .. 31)), that note's diagram large (nine layers, L1 .. R5) and
// the names of the keys it presses.
inline constexpr int nowMarkCount = 2 * notesPerRow;
inline constexpr ElementId kTeachingFirst = About_lbl + 1;
constexpr ElementId Now_mark(int i) { return kTeachingFirst + i; }  // i = 0 .. 31
constexpr ElementId Big_finger(int k) { return kTeachingFirst + nowMarkCount + k; }
inline constexpr ElementId Big_keys = Big_finger(fingersPerNote);
// The help page over any page, and its "？" button on every page.
inline constexpr ElementId Help_Btn = Big_keys + 1;
inline constexpr ElementId Help_bg = Help_Btn + 1;      // covers the page the player came from
inline constexpr ElementId Help_legend = Help_Btn + 2;  // the legend of one system's diagrams
inline constexpr ElementId Help_BtnS = Help_Btn + 3;    // shows the other system's legend
inline constexpr ElementId Help_Ladder = Help_Btn + 4;  // the grades and how to climb them
inline constexpr ElementId Help_Keys = Help_Btn + 5;    // the keys of the page the player came from
inline constexpr ElementId Help_BtnA = Help_Btn + 6;    // back where the player was
inline constexpr ElementId Help_BtnB = Help_Btn + 7;    // About Tarvel, over the help
// Page 5 after a heard run: up to three rows of the exercise on a small
// staff, side by side, with every slip marked on its note.
inline constexpr int scoreRows = 3;
inline constexpr int scoreNotes = scoreRows * notesPerRow;
inline constexpr ElementId kScoreFirst = Help_BtnB + 1;
constexpr ElementId P5_Staff(int r) { return kScoreFirst + r; }  // r = 0 .. 2, one row's stretch of staff
inline constexpr ElementId P5_Choshi = P5_Staff(scoreRows);
constexpr ElementId P5_Note(int i) { return P5_Choshi + 1 + i; }         // i = 0 .. 47
constexpr ElementId P5_Mark(int i) { return P5_Note(scoreNotes) + i; }   // on P5_Note(i)
constexpr ElementId P5_Extra(int i) { return P5_Mark(scoreNotes) + i; }  // after P5_Note(i)
constexpr ElementId P5_Row(int r) { return P5_Extra(scoreNotes) + r; }   // "2 段目" over row r
inline constexpr ElementId P5_Legend = P5_Row(scoreRows);                // what the marks mean
inline constexpr ElementId P5_ExtraFirst = P5_Legend + 1;                // before the exercise's first note
// About Tarvel's title when it lies on the help's background, where the
// message label that carries it on page 1 is covered.
inline constexpr ElementId About_ttl = P5_ExtraFirst + 1;
// What the player misses and how they tune. Page 5: the run's intonation.
inline constexpr ElementId Lab_Tune = About_ttl + 1;
// The progress page: its way to the weak notes, and taking a run back.
inline constexpr ElementId P7_BtnC = Lab_Tune + 1;
inline constexpr ElementId P7_BtnD = Lab_Tune + 2;
// Page 8, the weak notes: back, the drill, what the page shows, each weak
// note's diagram (nine layers) with its figures, and the tuning chart.
inline constexpr int weakShown = 8;
inline constexpr ElementId P8_BtnA = Lab_Tune + 3;
inline constexpr ElementId P8_BtnD = Lab_Tune + 4;
inline constexpr ElementId P8_Note = Lab_Tune + 5;
inline constexpr ElementId P8_Tune = Lab_Tune + 6;
constexpr ElementId P8_Weak(int i) { return P8_Tune + 1 + i; }              // i = 0 .. 7
constexpr ElementId P8_Fng(int slot) { return P8_Weak(weakShown) + slot; }  // slot = 9 i + layer
// The key page's keys due today: a tag under each, and the line that says so.
constexpr ElementId Due_lbl(int k) { return P8_Fng(weakShown * fingersPerNote) + k; }  // k = 0 .. 28
inline constexpr ElementId Due_note = Due_lbl(keyCount);
inline constexpr int elementCount = Due_note + 1;
}  // namespace el

// Every element, indexed by its id.
const std::vector<ElementSpec>& elementTable();
const ElementSpec& element(ElementId id);

// "P3_Btn12", "onp_img(3)".
std::string elementName(ElementId id);
// The inverse of elementName; nullopt for a name no element has.
std::optional<ElementId> findElement(std::string_view name);

// Ids from the top of the stacking order to the bottom.
const std::vector<ElementId>& stackingOrderFromTop();

// The reference screen has 15 twips to the pixel.
constexpr int twipsToPixels(int twips) { return (twips * 2 + 15) / 30; }

// Left of note column n (0 .. 15) in twips.
constexpr int Slot_x(int n) { return 2640 + 776 * n; }

// Page 5's small staff, in pixels: the left of note i (0 .. 47; a gap between
// rows), the left of each row's stretch of staff, and the staff's top.
constexpr int scoreNoteLeft(int i) { return 80 + 19 * i + 6 * (i / el::notesPerRow); }
constexpr int scoreStaffLeft(int r) { return r == 0 ? 8 : scoreNoteLeft(el::notesPerRow * r) - 2; }
inline constexpr int kScoreTop = 564;
inline constexpr int kScoreBandHeight = 92;
inline constexpr int kScoreColumnWidth = 19;
// A slip's ring is wider than its note's column: it stands this far left of it.
inline constexpr int kScoreMarkOverhang = 3;
inline constexpr int kScoreMarkWidth = kScoreColumnWidth + 2 * kScoreMarkOverhang;

}  // namespace tarvel
