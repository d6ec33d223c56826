#include "support/click_track.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>

namespace tarvel::test {
namespace {

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::vector<float> samplesOf(const unsigned char* data, std::size_t bytes) {
    std::vector<float> samples(bytes / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(static_cast<std::int16_t>(le16(data + 2 * i))) / 32768.0f;
    return samples;
}

std::vector<unsigned char> slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

Track readWav(const std::filesystem::path& file) {
    Track track;
    const std::vector<unsigned char> bytes = slurp(file);
    if (bytes.size() < 44 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        track.error = "not a WAV file";
        return track;
    }
    std::size_t at = 12;
    bool format = false;
    while (at + 8 <= bytes.size()) {
        const std::uint32_t size = le32(bytes.data() + at + 4);
        const unsigned char* body = bytes.data() + at + 8;
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && size >= 16) {
            if (le16(body) != 1 || le16(body + 2) != 1 || le16(body + 14) != 16) {
                track.error = "not 16-bit mono PCM";
                return track;
            }
            track.rate = static_cast<int>(le32(body + 4));
            format = true;
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            if (!format || at + 8 + size > bytes.size()) {
                track.error = "data chunk before its format, or cut short";
                return track;
            }
            track.samples = samplesOf(body, size);
            return track;
        }
        at += 8 + size + (size & 1);
    }
    track.error = "no data chunk";
    return track;
}

std::vector<float> readRawS16(const std::filesystem::path& file) {
    const std::vector<unsigned char> bytes = slurp(file);
    return samplesOf(bytes.data(), bytes.size());
}

std::vector<Onset> findOnsets(const std::vector<float>& samples, int rate) {
    constexpr std::size_t kWindow = 16;
    const double loud = std::pow(10.0, -40 / 10.0);  // mean energy
    const float audible = std::pow(10.0f, -60 / 20.0f);
    const auto quietNeeded = static_cast<std::size_t>(rate / 50);
    std::vector<Onset> onsets;
    double energy = 0;
    std::size_t quiet = quietNeeded;  // the track starts as if after silence
    for (std::size_t i = 0; i < samples.size(); ++i) {
        energy += static_cast<double>(samples[i]) * samples[i];
        if (i >= kWindow) energy -= static_cast<double>(samples[i - kWindow]) * samples[i - kWindow];
        if (energy / kWindow < loud) {
            ++quiet;
            continue;
        }
        if (quiet >= quietNeeded) {
            std::size_t first = i + 1 >= kWindow ? i + 1 - kWindow : 0;
            while (first < i && std::abs(samples[first]) < audible) ++first;
            float peak = 0;
            for (std::size_t k = first; k < std::min(samples.size(), first + static_cast<std::size_t>(rate / 200)); ++k)
                peak = std::max(peak, std::abs(samples[k]));
            onsets.push_back(Onset{static_cast<std::int64_t>(first), peak});
        }
        quiet = 0;
    }
    return onsets;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto at = std::min(values.size() - 1, static_cast<std::size_t>(p * static_cast<double>(values.size())));
    return values[at];
}

}  // namespace tarvel::test
