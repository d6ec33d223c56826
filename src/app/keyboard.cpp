#include "app/keyboard.h"

#include <algorithm>
#include <cstdlib>

#include "app/choices.h"
#include "keys/key_table.h"

namespace tarvel {
namespace {

int digitOf(KeyInput key) { return static_cast<int>(key) - static_cast<int>(KeyInput::Digit0); }
KeyInput digit(int d) { return static_cast<KeyInput>(static_cast<int>(KeyInput::Digit0) + d); }

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

// "♩=120": what a tempo button chooses.
std::string_view tempoDoes(int n) {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        all.reserve(kTempoChoices.size());
        for (const TempoChoice& t : kTempoChoices) all.push_back("♩=" + std::string(t.tempo));
        return all;
    }();
    return names[static_cast<std::size_t>(n - 1)];
}
constexpr std::string_view kAnswerDoes[] = {"ミスなし", "ミス 1〜2回", "ミス 3〜5回", "ミス 6回以上"};
constexpr std::string_view kHelpDoes = "ヘルプ（この画面の説明）";

std::vector<KeyBinding> buildBindings() {
    std::vector<KeyBinding> b;
    b.push_back({Page::System, KeyInput::Digit1, el::P1_Btn1, "ベーム式"});
    b.push_back({Page::System, KeyInput::Digit2, el::P1_Btn2, "エーラー式"});
    b.push_back({Page::System, KeyInput::F1, el::Help_Btn, kHelpDoes});
    b.push_back({Page::Part, KeyInput::Digit1, el::P2_Btn1, "B♭管の楽譜"});
    b.push_back({Page::Part, KeyInput::Digit2, el::P2_Btn2, "C管の楽譜（実音）"});
    b.push_back({Page::Part, KeyInput::Digit3, el::P2_Btn3, "A管の楽譜"});
    b.push_back({Page::Part, KeyInput::Backspace, el::P2_Btn4, "もどる（運指のえらび直し）"});
    b.push_back({Page::Part, KeyInput::F1, el::Help_Btn, kHelpDoes});
    for (const KeyInput arrow : {KeyInput::Left, KeyInput::Right, KeyInput::Up, KeyInput::Down})
        b.push_back({Page::Key, arrow, kNoButton, "オレンジの枠を動かす"});
    b.push_back({Page::Key, KeyInput::Enter, kFocusedKeyButton, "枠の調をえらぶ"});
    b.push_back({Page::Key, KeyInput::Space, el::Check1, "調性を音符に表示 を切りかえる"});
    b.push_back({Page::Key, KeyInput::R, el::P3_BtnC, "記録を見る"});
    b.push_back({Page::Key, KeyInput::T, kFirstDueKeyButton, "きょうの練習の最初の調をえらぶ"});
    b.push_back({Page::Key, KeyInput::Backspace, el::P3_BtnA, "もどる（楽譜のえらび直し）"});
    b.push_back({Page::Key, KeyInput::Home, el::P3_BtnB, "最初にもどる"});
    b.push_back({Page::Key, KeyInput::F1, el::Help_Btn, kHelpDoes});
    for (int n = 1; n <= 9; ++n) b.push_back({Page::Tempo, digit(n), el::P4_Btn(n), tempoDoes(n)});
    b.push_back({Page::Tempo, KeyInput::Space, el::Check2, "メトロノーム を切りかえる"});
    b.push_back({Page::Tempo, KeyInput::Backspace, el::P4_BtnA, "もどる（調のえらび直し）"});
    b.push_back({Page::Tempo, KeyInput::F1, el::Help_Btn, kHelpDoes});
    b.push_back({Page::Run, KeyInput::Escape, el::Cancel_img, "練習をやめる"});
    for (int n = 1; n <= 4; ++n)
        b.push_back({Page::Answer, digit(kFirstAnswerDigit + n - 1), el::P5_Btn(n), kAnswerDoes[n - 1]});
    b.push_back({Page::Answer, KeyInput::F1, el::Help_Btn, kHelpDoes});
    b.push_back({Page::Grade, KeyInput::Enter, el::P6_Btn(1), "もう一回（同じテンポで）"});
    b.push_back({Page::Grade, KeyInput::T, el::P6_Btn(2), "テンポをかえる"});
    b.push_back({Page::Grade, KeyInput::K, el::P6_Btn(3), "調をかえる"});
    b.push_back({Page::Grade, KeyInput::F1, el::Help_Btn, kHelpDoes});
    for (const KeyInput arrow : {KeyInput::Up, KeyInput::Down})
        b.push_back({Page::Progress, arrow, kNoButton, "グラフの調をえらぶ"});
    b.push_back({Page::Progress, KeyInput::C, el::P7_BtnB, "CSVに書き出す"});
    b.push_back({Page::Progress, KeyInput::N, el::P7_BtnC, "苦手な音を見る"});
    b.push_back({Page::Progress, KeyInput::Delete, el::P7_BtnD, "えらんだ回（なければ最後の回）を取り消す"});
    b.push_back({Page::Progress, KeyInput::Backspace, el::P7_BtnA, "もどる（調のページへ）"});
    b.push_back({Page::Progress, KeyInput::F1, el::Help_Btn, kHelpDoes});
    b.push_back({Page::Weak, KeyInput::D, el::P8_BtnD, "苦手ドリルを始める"});
    b.push_back({Page::Weak, KeyInput::Backspace, el::P8_BtnA, "もどる（記録のページへ）"});
    b.push_back({Page::Weak, KeyInput::F1, el::Help_Btn, kHelpDoes});
    b.push_back({Page::About, KeyInput::Backspace, el::About_BtnA, "もとの画面にもどる"});
    b.push_back({Page::About, KeyInput::Escape, el::About_BtnA, "もとの画面にもどる"});
    b.push_back({Page::About, KeyInput::F1, el::Help_Btn, kHelpDoes});
    b.push_back({Page::Help, KeyInput::Escape, el::Help_BtnA, "もとの画面にもどる"});
    b.push_back({Page::Help, KeyInput::Backspace, el::Help_BtnA, "もとの画面にもどる"});
    b.push_back({Page::Help, KeyInput::S, el::Help_BtnS, "もう一つの運指の図を見る"});
    b.push_back({Page::Help, KeyInput::A, el::Help_BtnB, "Tarvel について"});
    return b;
}

// What the buttons without a key do, for their tool tips.
std::string_view doesWithoutKey(ElementId button) {
    if (button == el::P1_Btn3) return "前にえらんだ運指のまま次へ";
    if (button == el::About_Btn) return "Tarvel について";
    if (button == el::About_BtnB) return "データのフォルダを開く";
    if (button >= el::P3_Btn(0) && button <= el::P3_Btn(el::keyCount - 1))
        return Key_tbl[static_cast<std::size_t>(button - el::P3_Btn(0))].japanese;
    return {};
}

}  // namespace

const std::vector<KeyBinding>& keyBindings() {
    static const std::vector<KeyBinding> bindings = buildBindings();
    return bindings;
}

std::string_view keyCap(KeyInput key) {
    static constexpr std::string_view kDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    if (key >= KeyInput::Digit0 && key <= KeyInput::Digit9) return kDigits[digitOf(key)];
    switch (key) {
    case KeyInput::Left: return "←";
    case KeyInput::Right: return "→";
    case KeyInput::Up: return "↑";
    case KeyInput::Down: return "↓";
    case KeyInput::Enter: return "Enter";
    case KeyInput::Backspace: return "BS";
    case KeyInput::Home: return "Home";
    case KeyInput::Space: return "Space";
    case KeyInput::Escape: return "Esc";
    case KeyInput::T: return "T";
    case KeyInput::K: return "K";
    case KeyInput::R: return "R";
    case KeyInput::C: return "C";
    case KeyInput::S: return "S";
    case KeyInput::A: return "A";
    case KeyInput::N: return "N";
    case KeyInput::D: return "D";
    case KeyInput::Delete: return "Del";
    case KeyInput::F1: return "F1";
    default: return "";
    }
}

bool isArrow(KeyInput key) {
    return key == KeyInput::Left || key == KeyInput::Right || key == KeyInput::Up || key == KeyInput::Down;
}

std::optional<ElementId> buttonForKey(KeyInput key, Page page, int focusedKey) {
    for (const KeyBinding& b : keyBindings()) {
        if (b.page != page || b.key != key || b.button == kNoButton || b.button == kFirstDueKeyButton) continue;
        if (b.button != kFocusedKeyButton) return b.button;
        if (focusedKey >= 0 && focusedKey < el::keyCount) return el::P3_Btn(focusedKey);
    }
    return std::nullopt;
}

std::optional<KeyInput> keyOf(ElementId button) {
    for (const KeyBinding& b : keyBindings())
        if (b.button == button) return b.key;
    return std::nullopt;
}

std::string buttonTip(ElementId button) {
    if (button < 0 || button >= el::elementCount || !element(button).button) return {};
    std::string does(doesWithoutKey(button));
    std::string keys;
    for (const KeyBinding& b : keyBindings()) {
        if (b.button != button) continue;
        if (does.empty()) does = std::string(b.does);
        const std::string cap(keyCap(b.key));
        if (keys.find(cap) == std::string::npos) keys += (keys.empty() ? "" : "／") + cap;
    }
    if (button >= el::P3_Btn(0) && button <= el::P3_Btn(el::keyCount - 1)) keys = "矢印キーで枠を動かして Enter";
    return keys.empty() ? does : does + "（" + keys + "）";
}

std::string pageKeysText(Page page) {
    std::string text;
    std::string arrows;
    std::string_view arrowsDo;
    for (const KeyBinding& b : keyBindings()) {
        if (b.page != page) continue;
        if (isArrow(b.key)) {
            arrows += std::string(keyCap(b.key));
            arrowsDo = b.does;
            continue;
        }
        if (!arrows.empty()) {
            text += arrows + "　" + std::string(arrowsDo) + "\r\n";
            arrows.clear();
        }
        text += std::string(keyCap(b.key)) + "　" + std::string(b.does) + "\r\n";
    }
    if (!arrows.empty()) text += arrows + "　" + std::string(arrowsDo) + "\r\n";
    return text;
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
