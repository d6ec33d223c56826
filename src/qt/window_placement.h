// Where the program's window opens, and how large: where the player left it
// the time before, or, the first time, at the page's own size centred on the
// screen under the pointer, smaller where that screen has less room (its
// panels and the window's frame counted). Only the window's geometry is kept,
// in the user's config folder: the program itself still keeps no settings.
#pragma once

#include <QString>

class QWidget;

namespace tarvel {

class WindowPlacement {
public:
    // `file`: the settings file; by default "tarvel/window.conf" in the
    // user's config folder.
    explicit WindowPlacement(QWidget& window, QString file = {});

    // Before the window is first shown.
    void place();
    // Once shown: the window's frame is known now, and a window that does
    // not fit with it is made to fit.
    void fitWithFrame();
    // When the window closes.
    void remember();

    QString file() const { return file_; }

private:
    QWidget& window_;
    QString file_;
};

}  // namespace tarvel
