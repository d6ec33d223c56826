#include "audio/wav_file_input.h"

#include <aubio/aubio.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "data/file_system.h"

namespace tarvel {
namespace {

constexpr uint_t kHop = 4096;

// aubio says on standard error that it resamples; the driver says so itself.
void quiet(int, const char*, void*) {}

}  // namespace

struct WavFileInput::Reader {
    aubio_source_t* source = nullptr;
    fvec_t* hop = new_fvec(kHop);
    ~Reader() {
        del_fvec(hop);
        if (source) del_aubio_source(source);
    }
};

WavFileInput::WavFileInput(const std::string& path) : name_(std::filesystem::path(path).filename().string()) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        error_ = "ファイル " + path + " を開けません（" + errorText(errno) + "）";
        return;
    }
    if (S_ISFIFO(info.st_mode)) {
        error_ = "ファイル " + path + " は名前付きパイプです。録音したふつうのファイルを指定してください";
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        error_ = "ファイル " + path + " は" + errorText(S_ISDIR(info.st_mode) ? EISDIR : ENXIO);
        return;
    }
    aubio_log_set_level_function(AUBIO_LOG_WRN, quiet, nullptr);
    auto reader = std::make_unique<Reader>();
    reader->source = new_aubio_source(path.c_str(), kRate, kHop);
    if (!reader->source) {
        error_ = "ファイル " + path + " を音として読めません";
        return;
    }
    if (aubio_source_get_samplerate(reader->source) != kRate) {
        error_ = "ファイル " + path + " を " + std::to_string(kRate) + " Hz で読めません";
        return;
    }
    // The rate it was recorded at, from the header; aubio reports the rate it resamples to.
    if (aubio_source_t* probe = new_aubio_source(path.c_str(), 0, kHop)) {
        fileRate_ = static_cast<int>(aubio_source_get_samplerate(probe));
        del_aubio_source(probe);
    }
    sampleCount_ = aubio_source_get_duration(reader->source);
    reader_ = std::move(reader);
}

WavFileInput::~WavFileInput() = default;

std::vector<std::string> WavFileInput::deviceNames() {
    if (!ok()) return {};
    return {name_};
}

bool WavFileInput::start(Instant at) {
    if (!ok()) return false;
    if (read_ > 0 && aubio_source_seek(reader_->source, 0) != 0) return false;
    started_ = true;
    start_ = at;
    next_ = 0;
    read_ = 0;
    ended_ = false;
    ahead_.clear();
    return true;
}

AudioBlock WavFileInput::take(Instant now) {
    AudioBlock block;
    block.first = static_cast<std::int64_t>(next_);
    if (!started_ || now < start_) return block;
    const auto heard = static_cast<std::size_t>((now - start_).count() * static_cast<long long>(kRate) / 1000000);
    // Read on until the file has reached what has been heard.
    while (!ended_ && next_ + ahead_.size() < heard) {
        uint_t got = 0;
        aubio_source_do(reader_->source, reader_->hop, &got);  // mixes every channel down to one
        ahead_.insert(ahead_.end(), reader_->hop->data, reader_->hop->data + got);
        read_ += got;
        ended_ = got < kHop;
    }
    const std::size_t count = std::min(heard > next_ ? heard - next_ : 0, ahead_.size());
    block.samples.assign(ahead_.begin(), ahead_.begin() + static_cast<std::ptrdiff_t>(count));
    ahead_.erase(ahead_.begin(), ahead_.begin() + static_cast<std::ptrdiff_t>(count));
    next_ += count;
    return block;
}

}  // namespace tarvel
