// Every pause of the run and of grading: where it ends and what it hears.
#pragma once

#include <chrono>

#include "ui/window.h"

namespace tarvel {

// Pauses end on a grid of deadlines that starts where the grid is started:
// each one ends at the previous deadline plus its own length, so the time
// spent drawing never lengthens a beat. A pause hears a close always (the
// window throws WindowClosed), and a click on the cancel picture while that
// picture shows; the click's handler runs and the pause ends early. Any other
// input made during a pause is dropped.
class Pauses {
public:
    explicit Pauses(Window& window) : w_(window), deadline_(window.now()) {}

    // The grid starts now.
    void startGrid() { deadline_ = w_.now(); }
    // Moves the deadline on by a pause of `ms` and gives it. After a stall
    // longer than the pause itself the grid goes on from now rather than rush
    // the following pauses to catch up.
    Instant next(int ms);
    Instant deadline() const { return deadline_; }

    // Whether the cancel picture shows: while it does, pauses hear it.
    void setCancelShown(bool shown) { cancelShown_ = shown; }
    bool hearsCancel() const { return cancelShown_; }

    // Sleeps until `until`, hearing what a pause hears now.
    void sleepUntil(Instant until);
    // A whole pause of `ms` on the grid.
    void pause(int ms) { sleepUntil(next(ms)); }

private:
    Window& w_;
    Instant deadline_;
    bool cancelShown_ = false;
};

}  // namespace tarvel
