#include "support/null_sink.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/click_track.h"

extern char** environ;

namespace tarvel::test {
namespace {

namespace fs = std::filesystem;

bool onPath(const std::string& tool) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= dirs.size();) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        if (::access((fs::path(dirs.substr(start, end - start)) / tool).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

pid_t spawn(const std::vector<std::string>& args, const fs::path& output) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void stop(pid_t& pid, int signal) {
    if (pid <= 0) return;
    ::kill(pid, signal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    pid = -1;
}

}  // namespace

std::string NullSink::missingTools() {
    std::string missing;
    for (const char* tool : {"pulseaudio", "pactl", "parec"})
        if (!onPath(tool)) missing += std::string(missing.empty() ? "" : " ") + tool;
    return missing;
}

NullSink::NullSink() {
    if (const std::string missing = missingTools(); !missing.empty()) {
        error_ = "not installed: " + missing;
        return;
    }
    char pattern[] = "/tmp/tarvel-pulse-XXXXXX";
    if (!::mkdtemp(pattern)) {
        error_ = "no temporary folder";
        return;
    }
    dir_ = pattern;
    // The server keeps its state in the folder, apart from any of the user's.
    ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    ::setenv("PULSE_RUNTIME_PATH", dir_.c_str(), 1);
    ::setenv("PULSE_STATE_PATH", dir_.c_str(), 1);
    server_ =
        spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes", "--use-pid-file=no",
               "-L", "module-native-protocol-unix socket=" + (dir_ / "native").string() + " auth-anonymous=1", "-L",
               "module-null-sink sink_name=tarvel_null rate=44100 channels=1"},
              dir_ / "server.log");
    if (server_ <= 0) {
        error_ = "pulseaudio did not start";
        return;
    }
    ::setenv("PULSE_SERVER", server().c_str(), 1);
    for (int i = 0; i < 100; ++i) {
        if (std::system("pactl info >/dev/null 2>&1") == 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    error_ = "pulseaudio did not answer within 5 s";
}

NullSink::~NullSink() {
    stop(recorder_, SIGTERM);
    stop(server_, SIGTERM);
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
}

std::string NullSink::server() const { return "unix:" + (dir_ / "native").string(); }

bool NullSink::startRecording() {
    recorder_ = spawn({"parec", "--device=tarvel_null.monitor", "--raw", "--format=s16le", "--rate=44100",
                       "--channels=1", "--latency-msec=10"},
                      dir_ / "recording.raw");
    // Let the recorder connect before anything is played.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return recorder_ > 0;
}

std::vector<float> NullSink::stopRecording() {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the last click's way through the server
    stop(recorder_, SIGINT);
    return readRawS16(dir_ / "recording.raw");
}

}  // namespace tarvel::test
