// A desktop that records what the program asks of it and answers as the test says.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "desktop/desktop.h"

namespace tarvel::test {

class RecordingDesktop : public Desktop {
public:
    std::vector<std::string> calls;  // "save TITLE PROPOSED", "open PATH", "confirm TITLE QUESTION"
    // The save dialog's answer: the proposal when unset, nullopt-like cancel when `cancel`.
    std::optional<std::string> answer;
    bool cancel = false;
    bool opens = true;
    bool agrees = true;  // to every question

    std::optional<std::string> chooseSavePath(const std::string& title, const std::string& proposedPath) override {
        calls.push_back("save " + title + " " + proposedPath);
        if (cancel) return std::nullopt;
        return answer ? *answer : proposedPath;
    }
    bool openFolder(const std::string& path) override {
        calls.push_back("open " + path);
        return opens;
    }
    bool confirm(const std::string& title, const std::string& question) override {
        calls.push_back("confirm " + title + " " + question);
        return agrees;
    }
};

}  // namespace tarvel::test
