#include "app/keyboard.h"

#include <cstdlib>

namespace tarvel {
namespace {

int digitOf(KeyInput key) { return static_cast<int>(key) - static_cast<int>(KeyInput::Digit0); }

int rowOf(int k) { return k < 8 ? 0 : 1 + (k - 8) / 7; }
int firstOfRow(int row) { return row == 0 ? 0 : 8 + 7 * (row - 1); }
int lastOfRow(int row) { return row == 0 ? 7 : firstOfRow(row) + 6; }
constexpr int kLastRow = 3;

// The key of `row` whose button is nearest, left to right, to key k's.
int nearestInRow(int k, int row) {
    const int left = element(el::P3_Btn(k)).leftTwips;
    int best = firstOfRow(row);
    for (int j = firstOfRow(row); j <= lastOfRow(row); ++j)
        if (std::abs(element(el::P3_Btn(j)).leftTwips - left) < std::abs(element(el::P3_Btn(best)).leftTwips - left))
            best = j;
    return best;
}

}  // namespace

bool isArrow(KeyInput key) {
    return key == KeyInput::Left || key == KeyInput::Right || key == KeyInput::Up || key == KeyInput::Down;
}

std::vector<ElementId> buttonsForKey(KeyInput key, int focusedKey) {
    std::vector<ElementId> buttons;
    if (key >= KeyInput::Digit0 && key <= KeyInput::Digit9) {
        const int d = digitOf(key);
        if (d == 1) buttons.push_back(el::P1_Btn1);
        if (d == 2) buttons.push_back(el::P1_Btn2);
        if (d >= 1 && d <= 3) buttons.push_back(el::P2_Btn1 + (d - 1));
        if (d >= 1 && d <= 9) buttons.push_back(el::P4_Btn(d));
        const int answer = d - kFirstAnswerDigit + 1;
        if (answer >= 1 && answer <= 4) buttons.push_back(el::P5_Btn(answer));
        return buttons;
    }
    switch (key) {
    case KeyInput::Enter:
        if (focusedKey >= 0 && focusedKey < el::keyCount) buttons.push_back(el::P3_Btn(focusedKey));
        buttons.push_back(el::P6_Btn(1));
        break;
    case KeyInput::Backspace: buttons = {el::P2_Btn4, el::P3_BtnA, el::P4_BtnA, el::P7_BtnA, el::About_BtnA}; break;
    case KeyInput::Home: buttons = {el::P3_BtnB}; break;
    case KeyInput::Space: buttons = {el::Check1, el::Check2}; break;
    case KeyInput::Escape: buttons = {el::Cancel_img}; break;
    case KeyInput::T: buttons = {el::P6_Btn(2)}; break;
    case KeyInput::K: buttons = {el::P6_Btn(3)}; break;
    case KeyInput::F1: buttons = {el::About_Btn}; break;
    default: break;
    }
    return buttons;
}

int keyAfterArrow(int k, KeyInput arrow) {
    const int row = rowOf(k);
    switch (arrow) {
    case KeyInput::Left: return k > 0 ? k - 1 : k;
    case KeyInput::Right: return k < el::keyCount - 1 ? k + 1 : k;
    case KeyInput::Up: return row > 0 ? nearestInRow(k, row - 1) : k;
    case KeyInput::Down: return row < kLastRow ? nearestInRow(k, row + 1) : k;
    default: return k;
    }
}

}  // namespace tarvel
