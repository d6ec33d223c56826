#include "qt/picture_element.h"

#include <QMouseEvent>
#include <QPainter>

namespace tarvel {

namespace {

// The pressed look: the picture's opaque pixels a shade darker.
QPixmap darkened(const QPixmap& picture) {
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(image.rect(), QColor(0, 0, 0, 56));
    painter.end();
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(picture.devicePixelRatio());
    return result;
}

}  // namespace

PictureElement::PictureElement(QWidget* parent, QSize emptySize, bool takesClicksWhenEmpty, bool button,
                               std::function<void()> onClick)
    : QWidget(parent),
      emptySize_(emptySize),
      takesClicksWhenEmpty_(takesClicksWhenEmpty),
      button_(button),
      onClick_(std::move(onClick)) {
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    if (button_) setCursor(Qt::PointingHandCursor);
    updateClickArea();
}

void PictureElement::setPicture(const QPixmap& picture) {
    if (hasPicture() && picture.cacheKey() == picture_.cacheKey()) return;  // it shows that picture already
    picture_ = picture;
    pressedPicture_ = QPixmap();
    updateClickArea();
    update();
}

void PictureElement::clearPicture() {
    picture_ = QPixmap();
    pressedPicture_ = QPixmap();
    updateClickArea();
    update();
}

void PictureElement::updateClickArea() {
    setFixedSize(hasPicture() ? picture_.deviceIndependentSize().toSize() : emptySize_);
    // An empty element is no target: clicks fall through to what lies beneath.
    setAttribute(Qt::WA_TransparentForMouseEvents, !hasPicture() && !takesClicksWhenEmpty_);
}

void PictureElement::paintEvent(QPaintEvent*) {
    if (!hasPicture()) return;
    QPainter painter(this);
    if (looksPressed()) {
        if (pressedPicture_.isNull()) pressedPicture_ = darkened(picture_);
        painter.drawPixmap(0, 0, pressedPicture_);
        return;
    }
    painter.drawPixmap(0, 0, picture_);
}

void PictureElement::setPressed(bool pressed, bool inside) {
    const bool looked = looksPressed();
    pressed_ = pressed;
    pointerInside_ = inside;
    if (button_ && looked != looksPressed()) repaint();  // at once: a click's routine may run right after
}

void PictureElement::mousePressEvent(QMouseEvent* event) {
    setPressed(event->button() == Qt::LeftButton, true);
    event->accept();
}

void PictureElement::mouseMoveEvent(QMouseEvent* event) {
    // Only while a button is held: the pressed look follows the pointer in and out.
    if (pressed_) setPressed(true, rect().contains(event->position().toPoint()));
    event->accept();
}

void PictureElement::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    setPressed(false, false);
    event->accept();
    if (click && onClick_) onClick_();
}

void PictureElement::hideEvent(QHideEvent*) {
    // A page that goes while the mouse button is down comes back unpressed.
    pressed_ = false;
    pointerInside_ = false;
}

void PictureElement::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is no click of its own: the first one
    // has usually changed the page, and a button may now stand under the mouse.
    setPressed(false, false);
    event->accept();
}

}  // namespace tarvel
