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
inline constexpr int elementCount = About_Btn + 4;
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

}  // namespace tarvel
