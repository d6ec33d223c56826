#include "audio/wav_file_input.h"

#include <aubio/aubio.h>

#include <filesystem>

namespace tarvel {

WavContent readWavMono(const std::string& path) {
    WavContent content;
    if (!std::filesystem::is_regular_file(path)) {
        content.error = "ファイル " + path + " がありません";
        return content;
    }
    constexpr uint_t kHop = 4096;
    aubio_source_t* source = new_aubio_source(path.c_str(), 0, kHop);
    if (!source) {
        content.error = "ファイル " + path + " を音として読めません";
        return content;
    }
    content.rate = static_cast<int>(aubio_source_get_samplerate(source));
    fvec_t* buffer = new_fvec(kHop);
    uint_t read = 0;
    do {
        aubio_source_do(source, buffer, &read);  // mixes every channel down to one
        content.samples.insert(content.samples.end(), buffer->data, buffer->data + read);
    } while (read == kHop);
    del_fvec(buffer);
    del_aubio_source(source);
    return content;
}

WavFileInput::WavFileInput(const std::string& path) : name_(std::filesystem::path(path).filename().string()) {
    WavContent content = readWavMono(path);
    error_ = std::move(content.error);
    samples_ = std::move(content.samples);
    if (content.rate > 0) rate_ = content.rate;
}

std::vector<std::string> WavFileInput::deviceNames() {
    if (!ok()) return {};
    return {name_};
}

bool WavFileInput::start(Instant at) {
    if (!ok()) return false;
    started_ = true;
    start_ = at;
    next_ = 0;
    return true;
}

AudioBlock WavFileInput::take(Instant now) {
    AudioBlock block;
    block.first = static_cast<std::int64_t>(next_);
    if (!started_ || now < start_) return block;
    const auto heard = static_cast<std::size_t>((now - start_).count() * static_cast<long long>(rate_) / 1000000);
    const std::size_t end = std::min(heard, samples_.size());
    if (end > next_)
        block.samples.assign(samples_.begin() + static_cast<std::ptrdiff_t>(next_),
                             samples_.begin() + static_cast<std::ptrdiff_t>(end));
    next_ = std::max(next_, end);
    return block;
}

}  // namespace tarvel
