#include "music.h"

#include "chart.h"
#include "exercises.h"
#include "keys.h"

namespace tarvel::dataset {

std::vector<std::string> fingeringChart(std::string_view system) {
    const std::optional<System> s = systemFromName(system);
    return s ? chartLines(*s) : std::vector<std::string>{};
}

std::vector<std::string> exercise(std::string_view system, std::string_view pairing, std::string_view key) {
    const std::optional<System> s = systemFromName(system);
    const std::optional<Pairing> p = pairingFromName(pairing);
    const std::optional<Key> k = keyFromCode(key);
    if (!s || !p || !k) return {};
    return exerciseLines(buildExercise(*s, *p, *k));
}

}  // namespace tarvel::dataset
