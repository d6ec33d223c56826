#include "qt/wiring.h"

namespace tarvel {

void connectWindow(QtWindow& window, Program& program) {
    window.onClick = [&program](ElementId id) { program.click(id); };
    window.onKey = [&program](KeyInput key) { return program.keyPressed(key); };
    window.onCloseRequest = [&program] {
        int cancel = 0;
        program.Form_QueryUnload(cancel, 0);
        if (cancel == 0) program.Form_Unload(cancel);
    };
}

bool startProgram(QtWindow& window, Program& program) {
    if (!program.Form_Load()) return false;
    window.form()->show();
    window.form()->activateWindow();
    window.form()->setFocus();
    return true;
}

}  // namespace tarvel
