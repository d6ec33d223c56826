// The keys of the pages, in one table: which button a key stands for on each
// page, what its cap and the help page call it, and what it does. A key is a
// click on a button the player sees: the window clicks it through the same
// path as a mouse click, so that every rule about clicks holds for keys too.
// The arrow keys click nothing: they move the key page's frame and choose a
// key in the progress page's list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/page.h"
#include "ui/elements.h"

namespace tarvel {

enum class KeyInput {
    Digit0,
    Digit1,
    Digit2,
    Digit3,
    Digit4,
    Digit5,
    Digit6,
    Digit7,
    Digit8,
    Digit9,
    Left,
    Right,
    Up,
    Down,
    Enter,
    Backspace,
    Home,
    Space,
    Escape,
    T,
    K,
    R,       // the key page: 記録
    C,       // the progress page: CSV
    S,       // the help page: the other system's legend
    A,       // the help page: About Tarvel
    N,       // the progress page: the weak notes
    D,       // the weak notes: the drill
    Delete,  // the progress page: take a run back
    F1,
};

// The answers of page 5 are keys 1 to 4, from the best answer to the worst;
// the data set draws these digits on the answer buttons.
inline constexpr int kFirstAnswerDigit = 1;

// A binding's button: the key under the key page's frame, or none at all (an
// arrow key that moves a frame or a choice).
inline constexpr ElementId kFocusedKeyButton = -1;
inline constexpr ElementId kNoButton = -2;
inline constexpr ElementId kFirstDueKeyButton = -3;  // the key page: the first key due today

struct KeyBinding {
    Page page;
    KeyInput key;
    ElementId button;
    std::string_view does;  // for the help page and the tool tips: "ベーム式をえらぶ"
};

// Every key of every page, page by page, in the order the help page lists them.
const std::vector<KeyBinding>& keyBindings();

// What a key is called on a key cap and on the help page: "1", "BS", "Esc", "F1", "←".
std::string_view keyCap(KeyInput key);

// The button or check box `key` stands for on `page`; `focusedKey` is the key
// page's key under the frame. Nothing for a key that clicks nothing there.
std::optional<ElementId> buttonForKey(KeyInput key, Page page, int focusedKey);

// The first key that clicks `button` on any page: the one its picture's cap shows.
std::optional<KeyInput> keyOf(ElementId button);

// What a picture button's tool tip says: what it does and its keys,
// "ベーム式をえらぶ（1）"; empty for an element that is no button.
std::string buttonTip(ElementId button);

// The keys of a page as the help page lists them, one line each.
std::string pageKeysText(Page page);

// Where the frame goes from key k with an arrow key. Left and right go through
// the keys in reading order; up and down go to the nearest key of the next row.
// The frame stops at the ends.
int keyAfterArrow(int k, KeyInput arrow);

bool isArrow(KeyInput key);

}  // namespace tarvel
