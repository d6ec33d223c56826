#include "support/fresh_process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

extern char** environ;

namespace tarvel::test {
namespace {

constexpr const char* kMarker = "TARVEL_FRESH_PROCESS_FOR";

}  // namespace

FreshProcess runInFreshProcess() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + "." + info->name();
    if (const char* marker = std::getenv(kMarker); marker && name == marker) return {};

    std::vector<std::string> environment{std::string(kMarker) + "=" + name};
    for (char** e = environ; *e; ++e) environment.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = "/proc/self/exe", filter = "--gtest_filter=" + name;
    std::vector<char*> argv{program.data(), filter.data(), nullptr};

    FreshProcess result;
    result.outcome = FreshProcess::Failed;
    int out[2];
    if (::pipe(out) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, out[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        result.output = "the fresh process could not be started";
        return result;
    }
    char buffer[4096];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) != 0;)
        if (n > 0) result.output.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (result.output.find("[  SKIPPED ] " + name) != std::string::npos)
        result.outcome = FreshProcess::Skipped;
    else if (WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
             result.output.find("[       OK ] " + name) != std::string::npos)
        result.outcome = FreshProcess::Passed;
    return result;
}

}  // namespace tarvel::test
