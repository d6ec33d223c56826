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

std::optional<ElementId> buttonForKey(KeyInput key, Page page, int focusedKey) {
    const bool digit = key >= KeyInput::Digit0 && key <= KeyInput::Digit9;
    const int d = digit ? digitOf(key) : -1;
    switch (page) {
    case Page::System:
        if (d == 1) return el::P1_Btn1;
        if (d == 2) return el::P1_Btn2;
        if (key == KeyInput::F1) return el::About_Btn;
        break;
    case Page::Part:
        if (d >= 1 && d <= 3) return el::P2_Btn1 + (d - 1);
        if (key == KeyInput::Backspace) return el::P2_Btn4;
        break;
    case Page::Key:
        if (key == KeyInput::Enter && focusedKey >= 0 && focusedKey < el::keyCount) return el::P3_Btn(focusedKey);
        if (key == KeyInput::Backspace) return el::P3_BtnA;
        if (key == KeyInput::Home) return el::P3_BtnB;
        if (key == KeyInput::Space) return el::Check1;
        break;
    case Page::Tempo:
        if (d >= 1 && d <= 9) return el::P4_Btn(d);
        if (key == KeyInput::Backspace) return el::P4_BtnA;
        if (key == KeyInput::Space) return el::Check2;
        break;
    case Page::Run:
        if (key == KeyInput::Escape) return el::Cancel_img;
        break;
    case Page::Answer:
        if (const int answer = d - kFirstAnswerDigit + 1; digit && answer >= 1 && answer <= 4)
            return el::P5_Btn(answer);
        break;
    case Page::Grade:
        if (key == KeyInput::Enter) return el::P6_Btn(1);
        if (key == KeyInput::T) return el::P6_Btn(2);
        if (key == KeyInput::K) return el::P6_Btn(3);
        break;
    case Page::Progress:
        if (key == KeyInput::Backspace) return el::P7_BtnA;
        break;
    case Page::About:
        if (key == KeyInput::Backspace) return el::About_BtnA;
        break;
    case Page::None: break;
    }
    return std::nullopt;
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
