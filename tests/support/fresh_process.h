// Runs the current test again in a fresh process of the same test program.
// Qt Multimedia talks to the one PulseAudio server it met first in a process
// and never to another, so a test that starts a sound server of its own must
// be the first in its process to use sound, whatever ran before it.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace tarvel::test {

struct FreshProcess {
    enum Outcome { InChild, Passed, Failed, Skipped } outcome = InChild;
    std::string output;  // what the fresh process printed
};

// In the test's own process: runs the test in a fresh one and says how it
// went. In that fresh process: InChild, and the test goes on.
FreshProcess runInFreshProcess();

}  // namespace tarvel::test

// At the top of a test body: the rest of the body runs in a fresh process,
// whose result becomes this test's.
#define RUN_IN_A_FRESH_PROCESS()                                                                  \
    if (const ::tarvel::test::FreshProcess fresh = ::tarvel::test::runInFreshProcess();           \
        fresh.outcome != ::tarvel::test::FreshProcess::InChild) {                                 \
        if (fresh.outcome == ::tarvel::test::FreshProcess::Skipped) GTEST_SKIP() << fresh.output; \
        EXPECT_EQ(fresh.outcome, ::tarvel::test::FreshProcess::Passed) << fresh.output;           \
        return;                                                                                   \
    }
