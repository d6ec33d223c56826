#include "qt/picture_element.h"

#include <QMouseEvent>
#include <QPainter>

namespace tarvel {

PictureElement::PictureElement(QWidget* parent, QSize emptySize, bool takesClicksWhenEmpty,
                               std::function<void()> onClick)
    : QWidget(parent),
      emptySize_(emptySize),
      takesClicksWhenEmpty_(takesClicksWhenEmpty),
      onClick_(std::move(onClick)) {
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    updateClickArea();
}

void PictureElement::setPicture(const QPixmap& picture) {
    if (hasPicture() && picture.cacheKey() == picture_.cacheKey()) return;  // it shows that picture already
    picture_ = picture;
    updateClickArea();
    update();
}

void PictureElement::clearPicture() {
    picture_ = QPixmap();
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
    painter.drawPixmap(0, 0, picture_);
}

void PictureElement::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void PictureElement::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click && onClick_) onClick_();
}

void PictureElement::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is no click of its own: the first one
    // has usually changed the page, and a button may now stand under the mouse.
    pressed_ = false;
    event->accept();
}

}  // namespace tarvel
