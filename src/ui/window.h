// The one interface between the program's logic and the screen. The Qt window
// implements it; tests and the scripted driver use it too.
#pragma once

#include <chrono>
#include <string>

#include "ui/elements.h"

namespace tarvel {

// Time on a monotonic clock, from an arbitrary start.
using Instant = std::chrono::microseconds;

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

enum class PictureLoad { Loaded, Missing, NotAPicture };

// Thrown by processEvents once the window has been closed: it unwinds the
// routine that was running, so that nothing runs after the close.
struct WindowClosed {};

class Window {
public:
    virtual ~Window() = default;

    virtual void show(ElementId id) = 0;
    virtual void hide(ElementId id) = 0;
    // Loads a GIF given by its data path ("system\hyouji\title.gif"). On failure
    // the element keeps no picture, so its place stays empty.
    virtual PictureLoad setPicture(ElementId id, const std::string& dataPath) = 0;
    virtual void setCaption(ElementId id, const std::string& text) = 0;
    virtual void setFontName(ElementId id, const std::string& name) = 0;
    virtual void setFontSize(ElementId id, double points) = 0;
    virtual bool isChecked(ElementId id) = 0;

    // Lets pending window events be handled; click handlers may run inside.
    // Throws WindowClosed when the window was closed meanwhile.
    virtual void processEvents() = 0;
    // Blocks the thread until the clock reads at least `deadline`. Only two
    // things are handled meanwhile, at once: a close request (it throws
    // WindowClosed) and a click on the cancel picture while it shows its
    // picture (its handler runs, and the sleep ends early). Any other input
    // made during the sleep is dropped: no button was visible when it was made.
    virtual void sleepUntil(Instant deadline) = 0;
    virtual Instant now() = 0;
    virtual CalendarDate today() = 0;

    // Tells the player something went wrong (a data file is missing, say).
    virtual void showMessage(const std::string& text) = 0;
    // Ends the program: no handler runs after this, and processEvents throws
    // WindowClosed if it is called again.
    virtual void endProgram(int status) = 0;
};

}  // namespace tarvel
