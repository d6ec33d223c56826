#include "app/context_caption.h"

#include <string_view>
#include <vector>

#include "app/choices.h"
#include "app/texts.h"
#include "keys/key_table.h"

namespace tarvel {
namespace {

constexpr std::string_view kSeparator = "・";
constexpr std::string_view kTempoMark = "♩=";

std::string systemName(const std::string& setting) {
    for (const SystemChoice& c : kSystemChoices)
        if (c.setting == setting) return std::string(c.name);
    return {};
}

std::string pairingName(const std::string& setting) {
    for (const PairingChoice& c : kPairingChoices)
        if (c.setting == setting) return std::string(c.name);
    return {};
}

std::string tempoName(const std::string& tempo) { return tempo.empty() ? tempo : std::string(kTempoMark) + tempo; }

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!text.empty()) text += kSeparator;
        text += part;
    }
    return text;
}

}  // namespace

std::string contextCaption(const SettingsSlots& Settings, CaptionDepth depth) {
    std::vector<std::string> parts{systemName(Settings[1]), pairingName(Settings[2])};
    if (depth != CaptionDepth::Pairing) parts.push_back(keyName(Settings[3]));
    if (depth == CaptionDepth::Tempo) parts.push_back(tempoName(Settings[4]));
    return joined(parts);
}

std::string runContextCaption(const SettingsSlots& Settings) {
    const std::string first = joined({systemName(Settings[1]), pairingName(Settings[2])});
    const std::string second = joined({keyName(Settings[3]), tempoName(Settings[4])});
    if (first.empty() || second.empty()) return first + second;
    return first + std::string(text::kLineBreak) + second;
}

}  // namespace tarvel
