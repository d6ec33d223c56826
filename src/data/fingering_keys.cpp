#include "data/fingering_keys.h"

#include <algorithm>

#include "data/data_paths.h"

namespace tarvel {

std::vector<std::string_view> pressedKeyNames(std::string_view system, std::string_view chartLine) {
    std::vector<std::string_view> names;
    for (int finger = 0; finger < static_cast<int>(kFingerPositions.size()); ++finger) {
        const std::string code = fingerCode(chartLine, kFingerPositions[static_cast<std::size_t>(finger)]);
        if (code.empty()) continue;
        for (const FingerKey& key : kFingerKeys)
            if (key.system == system && key.finger == finger && key.code == code.front()) names.push_back(key.name);
    }
    return names;
}

bool unplayableLine(std::string_view chartLine) {
    return std::any_of(kFingerPositions.begin(), kFingerPositions.end(), [chartLine](const FingerPosition& finger) {
        return fingerCode(chartLine, finger) == std::string(1, kUnplayableCode);
    });
}

std::string pressedKeysCaption(std::string_view system, std::string_view chartLine) {
    if (chartLine.empty()) return {};
    if (unplayableLine(chartLine)) return "この楽器では\r\n吹けない音";
    const std::vector<std::string_view> names = pressedKeyNames(system, chartLine);
    if (names.empty()) return "押すキーなし";
    std::string caption = "押すキー";
    for (const std::string_view name : names) caption.append("\r\n").append(name);
    return caption;
}

}  // namespace tarvel
