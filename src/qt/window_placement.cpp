#include "qt/window_placement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <QWindow>

#include "ui/page_scale.h"

namespace tarvel {
namespace {

const QString kGeometryKey = QStringLiteral("geometry");

// Before the window is shown its frame is not known: a title bar and thin
// borders as most desktops draw them.
constexpr FrameMargins kLikelyFrame{4, 36, 4, 4};

PixelRect pixelRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
QRect qRect(const PixelRect& r) { return {r.left, r.top, r.width, r.height}; }

QScreen* screenUnderPointer() {
    if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) return screen;
    return QGuiApplication::primaryScreen();
}

}  // namespace

WindowPlacement::WindowPlacement(QWidget& window, QString file) : window_(window), file_(std::move(file)) {
    if (file_.isEmpty())
        file_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                QStringLiteral("/tarvel/window.conf");
}

void WindowPlacement::place() {
    const QSettings settings(file_, QSettings::IniFormat);
    const QByteArray kept = settings.value(kGeometryKey).toByteArray();
    if (!kept.isEmpty() && window_.restoreGeometry(kept)) {
        // Qt moves a kept window onto a screen that still exists; it must
        // also fit that screen whole.
        if (window_.isMaximized() || window_.isFullScreen()) return;
        const QScreen* screen = window_.screen() ? window_.screen() : screenUnderPointer();
        window_.setGeometry(
            qRect(keepOnScreen(pixelRect(window_.geometry()), pixelRect(screen->availableGeometry()), kLikelyFrame)));
        return;
    }
    const QScreen* screen = screenUnderPointer();
    if (!screen) return;
    window_.setGeometry(qRect(firstWindowPlace(pixelRect(screen->availableGeometry()), kLikelyFrame)));
}

void WindowPlacement::fitWithFrame() {
    if (window_.isMaximized() || window_.isFullScreen() || !window_.screen()) return;
    const QRect frame = window_.frameGeometry();
    const QRect client = window_.geometry();
    const QRect available = window_.screen()->availableGeometry();
    if (available.contains(frame)) return;
    const FrameMargins margins{client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                               frame.bottom() - client.bottom()};
    window_.setGeometry(qRect(keepOnScreen(pixelRect(client), pixelRect(available), margins)));
}

void WindowPlacement::remember() {
    QSettings settings(file_, QSettings::IniFormat);
    settings.setValue(kGeometryKey, window_.saveGeometry());
    settings.sync();
}

}  // namespace tarvel
