#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

namespace tarvel {

// A picture element: shows its picture with its transparency, top-left at
// its place, at its own size times the page's scale, and reports a click
// (press and release over it). Where it shows larger than its own size in
// the screen's pixels it draws the picture's twin (the same picture drawn at
// twice the size) when it has one. A button shows the pointing hand, and
// looks pressed while the mouse button is down over it.
class PictureElement : public QWidget {
public:
    PictureElement(QWidget* parent, QSize emptySize, bool takesClicksWhenEmpty, bool button,
                   std::function<void()> onClick);

    // `twin`: the picture at twice its size, or a null pixmap.
    void setPicture(const QPixmap& picture, const QPixmap& twin = QPixmap());
    void clearPicture();
    bool hasPicture() const { return !picture_.isNull(); }
    bool hasTwin() const { return !twin_.isNull(); }
    // The page's scale: the element shows this many pixels for one of its picture's.
    void setScale(double scale);
    // Whether the picture shows pressed now.
    bool looksPressed() const { return pressed_ && pointerInside_; }
    // The pixels it paints, `device` pixels large: the picture or its twin,
    // resampled only where neither has that size.
    QPixmap pixelsFor(QSize device) const;

    // Pictures resampled for a scale are shared by every element; a new
    // scale makes them useless.
    static void forgetResampled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void updateClickArea();
    void setPressed(bool pressed, bool inside);

    QPixmap picture_;
    QPixmap twin_;
    QPixmap pressedPicture_;  // made when first needed, from the pixels shown
    qint64 pressedFrom_ = 0;  // the cache key of the pixels it was made from
    QSize emptySize_;
    double scale_ = 1;
    bool takesClicksWhenEmpty_;
    bool button_;
    bool pressed_ = false;
    bool pointerInside_ = false;
    std::function<void()> onClick_;
};

}  // namespace tarvel
