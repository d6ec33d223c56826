// Where the data set keeps everything the program reads and the one thing it
// writes. Data paths are relative, begin with "system\" and use the backslash;
// nativePath turns one into a path of this platform, relative to the current folder.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvel {

std::filesystem::path nativePath(std::string_view dataPath);

// "system\onkai\Boe\BB\S01.txt"
std::string exercisePath(std::string_view system, std::string_view pairing, std::string_view key);
// Result_dir: "system\onkai\Boe\BB\S01\"
std::string Result_dir(std::string_view system, std::string_view pairing, std::string_view key);

inline constexpr std::string_view kStaffPicture = "system\\hyouji\\5line.gif";
inline constexpr std::string_view kCancelPicture = "system\\hyouji\\button\\cancel.gif";
// "system\hyouji\choshi\" + the decimal texts of Choshi_tbl(0) .. Choshi_tbl(6) + ".gif"
std::string keySignaturePicture(const std::array<std::int16_t, 8>& Choshi_tbl);
// "system\Linehyouji\" + the decimal digits of Onp_pic + ".gif"
std::string notePicture(std::int16_t Onp_pic);
// The mark on the note being played, drawn where a note picture of Onp_pic has
// its head: "system\hyouji\now\" + octave digit and letter index + ".gif"
std::string nowMarkPicture(std::int16_t Onp_pic);

// A picture's twin: the same picture drawn at twice its size, beside it, for
// windows that show it larger ("system\hyouji\title.gif" ->
// "system\hyouji\title@2x.gif").
std::string twinPicture(std::string_view picture);
inline constexpr int kTwinScale = 2;

// The nine finger positions in the order of a note's fingering slots: the
// picture name prefix and the character of the chart line that holds the code
// (counted from 1; 0 means the line's last character).
struct FingerPosition {
    std::string_view prefix;
    int chartColumn;
};
inline constexpr std::array<FingerPosition, 9> kFingerPositions{{
    {"L1", 1},
    {"L2", 3},
    {"L3", 4},
    {"L4", 5},
    {"L5", 6},
    {"R2", 8},
    {"R3", 9},
    {"R4", 10},
    {"R5", 0},
}};

// The code of a finger position in a chart line; empty where the line is too short.
std::string fingerCode(std::string_view chartLine, const FingerPosition& position);
// "system\unshi\" + system + "\" + prefix + code + ".gif"
std::string fingerPicture(std::string_view system, std::string_view prefix, std::string_view code);
// The same layer for the run's large diagram: "system\unshi\" + system + "\big\" + prefix + code + ".gif"
std::string bigFingerPicture(std::string_view system, std::string_view prefix, std::string_view code);

}  // namespace tarvel
