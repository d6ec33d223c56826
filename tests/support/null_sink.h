// A private PulseAudio server with one null sink, for hearing what the
// program really plays on a machine without sound hardware: it starts the
// server, points this process's PULSE_SERVER at it and records the sink.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tarvel::test {

class NullSink {
public:
    // The tools it needs that are not installed ("pulseaudio parec"), or "".
    static std::string missingTools();

    NullSink();  // starts the server; see ok()
    ~NullSink();
    NullSink(const NullSink&) = delete;
    NullSink& operator=(const NullSink&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // For PULSE_SERVER; the constructor has set it for this process.
    std::string server() const;

    // Records what the sink plays, at 44.1 kHz mono, from now until stopRecording.
    bool startRecording();
    std::vector<float> stopRecording();

private:
    std::filesystem::path dir_;
    pid_t server_ = -1;
    pid_t recorder_ = -1;
    std::string error_;
};

}  // namespace tarvel::test
