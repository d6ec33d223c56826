// Checks a data set as the program will read it: every picture present,
// decodable and of a size that fits its place, every exercise readable, every
// chart line and picture an exercise reaches present, every result folder with
// exactly one record.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tarvel {

struct PictureInfo {
    enum Status { Ok, Missing, Unreadable } status = Missing;
    int width = 0;
    int height = 0;
};

// Reads a picture file's size; the checker itself knows no picture format.
using PictureProbe = std::function<PictureInfo(const std::filesystem::path&)>;

struct Problem {
    std::string file;  // relative to the data set's folder, with "/"
    int line = 0;      // 0 when the problem is not on a line
    std::string what;
};

std::vector<Problem> checkDataSet(const std::filesystem::path& root, const PictureProbe& probe);

// "FILE:LINE: what is wrong", or "FILE: what is wrong".
std::string formatProblem(const Problem& problem);

}  // namespace tarvel
