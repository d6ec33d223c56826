#include "qt/picture_element.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <map>
#include <tuple>

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
    return result;
}

// The pictures resampled to the sizes they show at, by picture and size.
std::map<std::tuple<qint64, int, int>, QPixmap>& resampledPictures() {
    static std::map<std::tuple<qint64, int, int>, QPixmap> pictures;
    return pictures;
}

QSize times(QSize size, double scale) {
    return {static_cast<int>(std::lround(size.width() * scale)), static_cast<int>(std::lround(size.height() * scale))};
}

}  // namespace

void PictureElement::forgetResampled() { resampledPictures().clear(); }

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

void PictureElement::setPicture(const QPixmap& picture, const QPixmap& twin) {
    // It shows these pictures already.
    if (hasPicture() && picture.cacheKey() == picture_.cacheKey() && twin.cacheKey() == twin_.cacheKey()) return;
    picture_ = picture;
    twin_ = twin;
    pressedPicture_ = QPixmap();
    updateClickArea();
    update();
}

void PictureElement::clearPicture() {
    picture_ = QPixmap();
    twin_ = QPixmap();
    pressedPicture_ = QPixmap();
    updateClickArea();
    update();
}

void PictureElement::setScale(double scale) {
    if (scale == scale_) return;
    scale_ = scale;
    pressedPicture_ = QPixmap();
    updateClickArea();
    update();
}

void PictureElement::updateClickArea() {
    setFixedSize(times(hasPicture() ? picture_.deviceIndependentSize().toSize() : emptySize_, scale_));
    // An empty element is no target: clicks fall through to what lies beneath.
    setAttribute(Qt::WA_TransparentForMouseEvents, !hasPicture() && !takesClicksWhenEmpty_);
}

QPixmap PictureElement::pixelsFor(QSize device) const {
    const QPixmap& source = hasTwin() && device.width() > picture_.width() ? twin_ : picture_;
    if (source.size() == device || source.isNull()) return source;
    auto& shared = resampledPictures();
    const auto key = std::make_tuple(source.cacheKey(), device.width(), device.height());
    if (const auto found = shared.find(key); found != shared.end()) return found->second;
    // Premultiplied, so that the colour of transparent pixels does not bleed
    // into the edges; area-averaged where it shrinks.
    const QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QPixmap resampled = QPixmap::fromImage(image.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    shared.emplace(key, resampled);
    return resampled;
}

void PictureElement::paintEvent(QPaintEvent*) {
    if (!hasPicture()) return;
    QPainter painter(this);
    const double ratio = devicePixelRatioF();
    QPixmap pixels = pixelsFor(times(size(), ratio));
    if (looksPressed()) {
        if (pressedPicture_.isNull() || pressedFrom_ != pixels.cacheKey()) {
            pressedFrom_ = pixels.cacheKey();
            pressedPicture_ = darkened(pixels);
        }
        pixels = pressedPicture_;
    }
    if (ratio == 1 && pixels.size() == size()) {
        painter.drawPixmap(0, 0, pixels);
        return;
    }
    // One pixel of the screen to one of the pixels made for it.
    painter.drawPixmap(QRectF(QPointF(0, 0), QSizeF(size())), pixels, QRectF(pixels.rect()));
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
