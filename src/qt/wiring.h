#pragma once

#include "app/program.h"
#include "qt/qt_window.h"

namespace tarvel {

// Sends the window's clicks and its close request to the program.
void connectWindow(QtWindow& window, Program& program);

// Creates the window's elements' fonts and starts the program: runs
// Form_Load and shows the window. Returns false when start-up failed.
bool startProgram(QtWindow& window, Program& program);

}  // namespace tarvel
