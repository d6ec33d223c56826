#include "qt/key_input.h"

#include <Qt>

namespace tarvel {

std::optional<KeyInput> keyInputFor(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<KeyInput>(static_cast<int>(KeyInput::Digit0) + (qtKey - Qt::Key_0));
    switch (qtKey) {
    case Qt::Key_Left: return KeyInput::Left;
    case Qt::Key_Right: return KeyInput::Right;
    case Qt::Key_Up: return KeyInput::Up;
    case Qt::Key_Down: return KeyInput::Down;
    case Qt::Key_Return:
    case Qt::Key_Enter: return KeyInput::Enter;
    case Qt::Key_Backspace: return KeyInput::Backspace;
    case Qt::Key_Home: return KeyInput::Home;
    case Qt::Key_Space: return KeyInput::Space;
    case Qt::Key_Escape: return KeyInput::Escape;
    case Qt::Key_T: return KeyInput::T;
    case Qt::Key_K: return KeyInput::K;
    case Qt::Key_R: return KeyInput::R;
    case Qt::Key_C: return KeyInput::C;
    case Qt::Key_S: return KeyInput::S;
    case Qt::Key_A: return KeyInput::A;
    case Qt::Key_N: return KeyInput::N;
    case Qt::Key_D: return KeyInput::D;
    case Qt::Key_Delete: return KeyInput::Delete;
    case Qt::Key_F1: return KeyInput::F1;
    default: return std::nullopt;
    }
}

}  // namespace tarvel
