#include "staff_geometry.h"

namespace tarvel::dataset::staff {

std::vector<int> ledgerSteps(int step) {
    std::vector<int> steps;
    for (int s = -2; s >= step; s -= 2) steps.push_back(s);
    for (int s = kTopLineStep + 2; s <= step; s += 2) steps.push_back(s);
    return steps;
}

std::vector<int> notePictureCodes() {
    std::vector<int> codes;
    for (int octave = 1; octave <= 5; ++octave)
        for (int letter = 0; letter < 7; ++letter) {
            const int step = staffStep(octave, letter);
            if (step < kLowestStep || step > kHighestStep) continue;
            for (int sign = 0; sign <= 5; ++sign) codes.push_back(100 * octave + 10 * letter + sign);
        }
    return codes;
}

}  // namespace tarvel::dataset::staff
