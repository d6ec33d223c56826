#include "variants.h"

#include <algorithm>
#include <stdexcept>
#include <tuple>

namespace tarvel::dataset {
namespace {

enum Hand { Left, Right };
constexpr Hand other(Hand h) { return h == Left ? Right : Left; }

// Blocks named by the rules.
constexpr int kThroatFirst = 17, kThroatLast = 20;  // G4 .. Bb4
constexpr int kClarionFirst = 21, kBreakLast = 26;  // B4 .. E5: the notes just across the break

char pinky(const ChartEntry& e, Hand h) { return e.line[kCodeColumn[h == Left ? L5 : R5]]; }
bool uses(const ChartEntry& e, Hand h) { return pinky(e, h) != '0'; }
bool usesPinky(const ChartEntry& e) { return uses(e, Left) || uses(e, Right); }
bool singleHand(const ChartEntry& e) { return uses(e, Left) != uses(e, Right); }
Hand handOf(const ChartEntry& e) { return uses(e, Left) ? Left : Right; }
char code(const ChartEntry& e, Finger f) { return e.line[kCodeColumn[f]]; }

// The same little finger goes from one key straight to another.
bool slides(const ChartEntry& a, const ChartEntry& b, Hand h) {
    return uses(a, h) && uses(b, h) && pinky(a, h) != pinky(b, h);
}
int slideCount(const ChartEntry& a, const ChartEntry& b) { return slides(a, b, Left) + slides(a, b, Right); }

// Sliding between the neighbouring E/B, F/C and F#/C# levers is the least
// awkward; sliding onto or off the Ab/Eb or C#/G# key is worse.
int slideAwkwardness(const ChartEntry& a, const ChartEntry& b) {
    auto chain = [](char c) { return c == 'E' || c == 'F' || c == 'H'; };
    int cost = 0;
    for (Hand h : {Left, Right})
        if (slides(a, b, h)) cost += chain(pinky(a, h)) && chain(pinky(b, h)) ? 1 : 2;
    return cost;
}

// Only the right index is down on the right hand (Bb3, F5 on Boehm).
bool rightIndexOnly(const ChartEntry& e) {
    return code(e, R2) == '1' && code(e, R3) == '0' && code(e, R4) == '0' && code(e, R5) == '0';
}

class Passage {
public:
    Passage(System system, std::vector<int> blocks) : system_(system), blocks_(std::move(blocks)) {
        for (int b : blocks_) {
            const ChartEntry* standard = chartEntry(system_, b, 0);
            if (standard == nullptr)
                throw std::invalid_argument("no playable fingering for block " + std::to_string(b));
            chosen_.push_back(standard);
        }
    }

    std::vector<int> choose() {
        if (system_ == System::Boehm) {
            alternateLittleFingers();
        } else {
            leverInChromaticRuns();
        }
        doubleAtBC();
        ebBbChoice();
        if (system_ == System::Boehm) bFsharpChoice();
        rightHandDownBeforeTheBreak();
        std::vector<int> out;
        for (const ChartEntry* e : chosen_) out.push_back(e->variant);
        return out;
    }

private:
    int size() const { return static_cast<int>(blocks_.size()); }
    bool inside(int i) const { return i >= 0 && i < size(); }
    const ChartEntry& standard(int i) const { return *chartEntry(system_, blocks_[i], 0); }

    std::vector<const ChartEntry*> options(int i) const {
        std::vector<const ChartEntry*> out;
        for (const ChartEntry& e : chartEntries(system_))
            if (e.block == blocks_[i] && onStandardInstrument(system_, e)) out.push_back(&e);
        return out;
    }
    const ChartEntry* option(int i, auto predicate) const {
        for (const ChartEntry* e : options(i))
            if (predicate(*e)) return e;
        return nullptr;
    }
    bool isLittleFingerNote(int i) const { return inside(i) && usesPinky(standard(i)); }

    // Single-hand fingerings of a little-finger note, one per hand that can take it.
    std::vector<const ChartEntry*> handChoices(int i) const {
        std::vector<const ChartEntry*> out;
        for (const ChartEntry* e : options(i))
            if (singleHand(*e)) out.push_back(e);
        return out;
    }
    bool fixedHand(int i) const { return isLittleFingerNote(i) && handChoices(i).size() == 1; }

    // Boehm: alternate the little fingers over every run of consecutive notes
    // that need one. Per run, of all hand assignments take the one with the
    // fewest slides (and the least awkward ones), then the fewest notes that
    // take a key on the same hand as a fixed note across one note without a
    // little finger, then the fewest departures from the usual hand (E/B and
    // F#/C# left, F/C right), and on a tie the one that keeps the usual hand
    // on the lowest notes.
    void alternateLittleFingers() {
        for (int first = 0; first < size();) {
            if (!isLittleFingerNote(first)) {
                ++first;
                continue;
            }
            int last = first;
            while (isLittleFingerNote(last + 1)) ++last;
            assignRun(first, last);
            first = last + 1;
        }
    }

    void assignRun(int first, int last) {
        std::vector<std::vector<const ChartEntry*>> choices;
        for (int i = first; i <= last; ++i) {
            choices.push_back(handChoices(i));
            if (choices.back().empty())
                choices.back().push_back(&standard(i));  // both hands at once: nothing to choose
        }
        std::vector<int> lowestFirst;
        for (int i = first; i <= last; ++i) lowestFirst.push_back(i);
        std::stable_sort(lowestFirst.begin(), lowestFirst.end(),
                         [this](int a, int b) { return blocks_[a] < blocks_[b]; });

        using Cost = std::tuple<int, int, int, int, std::vector<bool>>;
        std::vector<std::size_t> pick(choices.size(), 0), best;
        Cost bestCost;
        for (;;) {
            auto at = [&](int i) -> const ChartEntry& { return *choices[i - first][pick[i - first]]; };
            int slideN = 0, awkward = 0, acrossOne = 0, departures = 0;
            for (int i = first; i < last; ++i) {
                slideN += slideCount(at(i), at(i + 1));
                awkward += slideAwkwardness(at(i), at(i + 1));
            }
            for (auto [i, step] : {std::pair{first, -1}, std::pair{last, +1}}) {
                const int across = i + 2 * step;
                if (!isLittleFingerNote(i + step) && fixedHand(across) &&
                    slides(at(i), *handChoices(across).front(), handOf(at(i))))
                    ++acrossOne;
            }
            std::vector<bool> departed;
            for (int i : lowestFirst) {
                const bool d = at(i).variant != 0;
                departures += d;
                departed.push_back(d);
            }
            Cost cost{slideN, awkward, acrossOne, departures, departed};
            if (best.empty() || cost < bestCost) {
                best = pick;
                bestCost = cost;
            }
            std::size_t k = 0;
            while (k < pick.size() && ++pick[k] == choices[k].size()) pick[k++] = 0;
            if (k == pick.size()) break;
        }
        for (int i = first; i <= last; ++i) chosen_[i] = choices[i - first][best[i - first]];
    }

    // Oehler: the left B/F lever instead of the forked Bb3/F5 in a chromatic run.
    void leverInChromaticRuns() {
        for (int i = 1; i + 1 < size(); ++i) {
            const ChartEntry* lever = option(i, [](const ChartEntry& e) { return code(e, L5) == 'B'; });
            const int stepIn = blocks_[i] - blocks_[i - 1], stepOut = blocks_[i + 1] - blocks_[i];
            if (lever != nullptr && stepIn == stepOut && (stepIn == 1 || stepIn == -1)) chosen_[i] = lever;
        }
    }

    // B next to C (E next to F) on the other hand: hold both little fingers
    // on the B so that only one lifts - unless the extra finger is wanted on
    // another key by the note on the B's other side (directly or across one
    // note without a little finger).
    void doubleAtBC() {
        const std::vector<const ChartEntry*> before = chosen_;
        for (int i = 0; i < size(); ++i) {
            const ChartEntry& b = *before[i];
            if (!usesPinky(b) || !singleHand(b)) continue;
            const Hand h = handOf(b), extra = other(h);
            for (int j : {i - 1, i + 1}) {
                if (!inside(j) || !singleHand(*before[j]) || handOf(*before[j]) != extra) continue;
                const char held = pinky(*before[j], extra);
                const ChartEntry* both = option(
                    i, [&](const ChartEntry& e) { return pinky(e, h) == pinky(b, h) && pinky(e, extra) == held; });
                if (both == nullptr) continue;
                const int away = i + (i - j);
                int next = away;
                if (inside(next) && !usesPinky(*before[next])) next += i - j;
                if (inside(next) && uses(*before[next], extra) && pinky(*before[next], extra) != held) continue;
                chosen_[i] = both;
                break;
            }
        }
    }

    // Eb4/Bb5: the sliver (Oehler: the Es/B lever) next to D4/A5, a semitone
    // below; on Boehm 1+1 when a neighbour already has only the right index
    // down (Bb3, F5); otherwise the side key.
    void ebBbChoice() {
        for (int i = 0; i < size(); ++i) {
            const ChartEntry* sliver = option(i, [](const ChartEntry& e) { return code(e, L4) == 'S'; });
            if (sliver == nullptr) continue;
            const ChartEntry* onePlusOne = option(i, [](const ChartEntry& e) {
                return e.variant != 0 && code(e, L4) == '0' && code(e, L3) == '0' && rightIndexOnly(e);
            });
            bool semitoneBelow = false, indexDown = false;
            for (int j : {i - 1, i + 1}) {
                if (!inside(j)) continue;
                semitoneBelow |= blocks_[j] == blocks_[i] - 1;
                indexDown |= rightIndexOnly(standard(j));
            }
            if (semitoneBelow)
                chosen_[i] = sliver;
            else if (system_ == System::Boehm && indexDown && onePlusOne != nullptr)
                chosen_[i] = onePlusOne;
        }
    }

    // Boehm B3/F#5: the side key next to Bb3/F5, so that the index stays down.
    void bFsharpChoice() {
        for (int i = 0; i < size(); ++i) {
            const ChartEntry* side = option(i, [](const ChartEntry& e) { return code(e, R2) == 'F'; });
            if (side == nullptr) continue;
            for (int j : {i - 1, i + 1})
                if (inside(j) && rightIndexOnly(standard(j))) chosen_[i] = side;
        }
    }

    // Throat G4 to Bb4 next to a note just across the break (B4 to E5): the
    // right hand goes down already on the throat note.
    void rightHandDownBeforeTheBreak() {
        for (int i = 0; i < size(); ++i) {
            if (blocks_[i] < kThroatFirst || blocks_[i] > kThroatLast) continue;
            const ChartEntry& open = standard(i);
            const ChartEntry* down = option(i, [&open](const ChartEntry& e) {
                std::string expected = open.line;
                for (Finger f : {R2, R3, R4}) expected[kCodeColumn[f]] = '1';
                return e.variant != 0 && e.line == expected;
            });
            for (int j : {i - 1, i + 1})
                if (down != nullptr && inside(j) && blocks_[j] >= kClarionFirst && blocks_[j] <= kBreakLast)
                    chosen_[i] = down;
        }
    }

    System system_;
    std::vector<int> blocks_;
    std::vector<const ChartEntry*> chosen_;
};

}  // namespace

bool onStandardInstrument(System system, const ChartEntry& entry) {
    if (code(entry, L5) == 'A') return false;  // the left Ab/Eb (As/Es) lever, fitted to some instruments only
    return system != System::Boehm || code(entry, R5) != 'D';
}

std::vector<int> chooseVariants(System system, const std::vector<int>& blocks) {
    std::vector<int> distinct;
    std::vector<std::size_t> noteOf;
    for (int b : blocks) {
        if (distinct.empty() || distinct.back() != b) distinct.push_back(b);
        noteOf.push_back(distinct.size() - 1);
    }
    const std::vector<int> chosen = Passage(system, distinct).choose();
    std::vector<int> out;
    for (std::size_t n : noteOf) out.push_back(chosen[n]);
    return out;
}

}  // namespace tarvel::dataset
