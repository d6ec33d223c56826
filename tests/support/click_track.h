// Reading a recorded click track and finding its clicks: a 16-bit WAV file
// or raw 16-bit samples, and an energy detector for the onsets.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarvel::test {

struct Track {
    int rate = 0;
    std::vector<float> samples;  // mono, -1 to 1
    std::string error;           // empty when the file was read
};

// A PCM WAV file of 16-bit mono samples.
Track readWav(const std::filesystem::path& file);
// Raw 16-bit little-endian mono samples, as parec writes them.
std::vector<float> readRawS16(const std::filesystem::path& file);

struct Onset {
    std::int64_t sample;  // the first sample of the click
    float peak;           // its loudest sample, within 5 ms
};

// Clicks found by their short-time energy: a window of 16 samples whose mean
// energy rises above -40 dBFS after at least 20 ms below it. The onset is the
// first sample in that window louder than -60 dBFS.
std::vector<Onset> findOnsets(const std::vector<float>& samples, int rate);

// The value below which the share `p` (0 to 1) of `values` lie.
double percentile(std::vector<double> values, double p);

}  // namespace tarvel::test
