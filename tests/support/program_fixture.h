// A program on a recording window and a data folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include "app/program.h"
#include "support/data_folder.h"
#include "support/recording_window.h"

namespace tarvel::test {

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest() : files(data.root()), program(window, files) {}

    // Starts the program, and clears the ops of start-up.
    void start() {
        ASSERT_TRUE(program.Form_Load());
        window.clearOps();
    }
    void click(ElementId id) { program.click(id); }
    ProgramState& state() { return program.state(); }
    // Page 1 -> 2 -> key page with a chart of `chartLines` lines for Boehm.
    void toKeyPage(ElementId pairingButton = el::P2_Btn1) {
        click(el::P1_Btn1);
        click(pairingButton);
    }
    // A fingering chart whose every line is the same plain fingering.
    void writePlainChart(const char* file = "system\\unshi\\boe.txt") {
        data.writeLines(file, std::vector<std::string>(501, "1|1110|1110"));
    }
    std::size_t mark() const { return window.ops.size(); }
    std::vector<std::string> opsSince(std::size_t from) const {
        return {window.ops.begin() + static_cast<std::ptrdiff_t>(from), window.ops.end()};
    }

    DataFolder data;
    LocalFileSystem files;
    RecordingWindow window;
    Program program;
};

}  // namespace tarvel::test
