#include "data/data_paths.h"

#include <algorithm>

namespace tarvel {

std::filesystem::path nativePath(std::string_view dataPath) {
    std::string path(dataPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    return std::filesystem::path(path);
}

std::string twinPicture(std::string_view picture) {
    const std::size_t folder = picture.find_last_of('\\');
    const std::size_t dot = picture.find_last_of('.');
    const std::size_t at =
        dot == std::string_view::npos || (folder != std::string_view::npos && dot < folder) ? picture.size() : dot;
    std::string twin(picture.substr(0, at));
    twin.append("@2x").append(picture.substr(at));
    return twin;
}

std::string exercisePath(std::string_view system, std::string_view pairing, std::string_view key) {
    std::string path = "system\\onkai\\";
    path.append(system).append("\\").append(pairing).append("\\").append(key).append(".txt");
    return path;
}

std::string Result_dir(std::string_view system, std::string_view pairing, std::string_view key) {
    std::string path = "system\\onkai\\";
    path.append(system).append("\\").append(pairing).append("\\").append(key).append("\\");
    return path;
}

std::string keySignaturePicture(const std::array<std::int16_t, 8>& Choshi_tbl) {
    std::string path = "system\\hyouji\\choshi\\";
    for (int k = 0; k <= 6; ++k) path += std::to_string(Choshi_tbl[k]);
    return path + ".gif";
}

std::string notePicture(std::int16_t Onp_pic) { return "system\\Linehyouji\\" + std::to_string(Onp_pic) + ".gif"; }

std::string nowMarkPicture(std::int16_t Onp_pic) {
    return "system\\hyouji\\now\\" + std::to_string(Onp_pic / 10) + ".gif";
}

std::string fingerCode(std::string_view chartLine, const FingerPosition& position) {
    if (position.chartColumn == 0) return chartLine.empty() ? "" : std::string(1, chartLine.back());
    const auto at = static_cast<std::size_t>(position.chartColumn - 1);
    return at < chartLine.size() ? std::string(1, chartLine[at]) : "";
}

std::string fingerPicture(std::string_view system, std::string_view prefix, std::string_view code) {
    std::string path = "system\\unshi\\";
    path.append(system).append("\\").append(prefix).append(code).append(".gif");
    return path;
}

std::string bigFingerPicture(std::string_view system, std::string_view prefix, std::string_view code) {
    std::string path = "system\\unshi\\";
    path.append(system).append("\\big\\").append(prefix).append(code).append(".gif");
    return path;
}

}  // namespace tarvel
