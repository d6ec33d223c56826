// The keys of the pages: which button a key stands for on each page, and how
// the arrow keys move the key page's frame. A key is a click on a button the
// player sees: the window clicks it through the same path as a mouse click,
// so that every rule about clicks holds for keys too.
#pragma once

#include <optional>
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
    F1,
};

// The answers of page 5 are keys 1 to 4, from the best answer to the worst;
// the data set draws these digits on the answer buttons.
inline constexpr int kFirstAnswerDigit = 1;

// The button or check box `key` stands for on `page`; `focusedKey` is the key
// page's key under the frame. Nothing for a key that clicks nothing there.
std::optional<ElementId> buttonForKey(KeyInput key, Page page, int focusedKey);

// Where the frame goes from key k with an arrow key. Left and right go through
// the keys in reading order; up and down go to the nearest key of the next row.
// The frame stops at the ends.
int keyAfterArrow(int k, KeyInput arrow);

bool isArrow(KeyInput key);

}  // namespace tarvel
