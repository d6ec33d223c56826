#include "drive/recorded_audio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace tarvel {
namespace {

void put16(std::ofstream& out, std::uint16_t v) {
    const char bytes[2] = {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
    out.write(bytes, 2);
}

void put32(std::ofstream& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xffff));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace

const char* clickName(ClickKind kind) { return kind == ClickKind::Accent ? "accent" : "beat"; }

void RecordedAudio::scheduleClick(ClickKind kind, Instant at) {
    mixer_.add(kind, sampleAt(at - start_));
    const Click click{kind, at};
    unreported_.insert(std::upper_bound(unreported_.begin(), unreported_.end(), click,
                                        [](const Click& a, const Click& b) { return a.at < b.at; }),
                       click);
    if (also_) also_->scheduleClick(kind, at);
}

void RecordedAudio::stopAll() {
    const Instant now = clock_.now();
    mixer_.cutAt(sampleAt(now - start_));
    std::erase_if(unreported_, [now](const Click& c) { return c.at > now; });
    if (also_) also_->stopAll();
}

std::vector<RecordedAudio::Click> RecordedAudio::takeSounded() {
    const Instant now = clock_.now();
    const auto due = std::find_if(unreported_.begin(), unreported_.end(), [now](const Click& c) { return c.at > now; });
    std::vector<Click> sounded(unreported_.begin(), due);
    unreported_.erase(unreported_.begin(), due);
    return sounded;
}

bool RecordedAudio::writeWav(const std::string& file, Instant end, std::string& error) const {
    const std::int64_t frames = std::max(sampleAt(end - start_), mixer_.end());
    constexpr std::int64_t kMaxFrames = (0xffffffffLL - 36) / 2;
    if (frames > kMaxFrames) {
        error = "the run is too long for a WAV file";
        return false;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot create the file";
        return false;
    }
    const auto dataBytes = static_cast<std::uint32_t>(frames * 2);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, kAudioRate);
    put32(out, kAudioRate * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    std::vector<float> block;
    std::vector<char> bytes;
    for (std::int64_t first = 0; first < frames; first += kAudioRate) {
        const std::int64_t count = std::min<std::int64_t>(kAudioRate, frames - first);
        block.assign(static_cast<std::size_t>(count), 0.0f);
        mixer_.mixInto(block.data(), first, count);
        bytes.resize(block.size() * 2);
        for (std::size_t i = 0; i < block.size(); ++i) {
            const auto v = static_cast<std::int16_t>(std::lround(std::clamp(block[i], -1.0f, 1.0f) * 32767.0f));
            bytes[2 * i] = static_cast<char>(static_cast<std::uint16_t>(v) & 0xff);
            bytes[2 * i + 1] = static_cast<char>(static_cast<std::uint16_t>(v) >> 8);
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    out.close();
    if (!out) {
        error = "writing failed";
        return false;
    }
    return true;
}

}  // namespace tarvel
