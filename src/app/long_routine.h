#pragma once

namespace tarvel {

// Marks a routine (a run, grading) during which the pages stay hidden and no
// page button may start another routine inside it.
class LongRoutine {
public:
    explicit LongRoutine(bool& flag) : flag_(flag) { flag_ = true; }
    ~LongRoutine() { flag_ = false; }
    LongRoutine(const LongRoutine&) = delete;
    LongRoutine& operator=(const LongRoutine&) = delete;

private:
    bool& flag_;
};

}  // namespace tarvel
