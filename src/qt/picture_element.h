#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

namespace tarvel {

// A picture element: shows its picture at natural size with its transparency,
// top-left at its place, and reports a click (press and release over it). A
// button shows the pointing hand, and looks pressed while the mouse button is
// down over it.
class PictureElement : public QWidget {
public:
    PictureElement(QWidget* parent, QSize emptySize, bool takesClicksWhenEmpty, bool button,
                   std::function<void()> onClick);

    void setPicture(const QPixmap& picture);
    void clearPicture();
    bool hasPicture() const { return !picture_.isNull(); }
    // Whether the picture shows pressed now.
    bool looksPressed() const { return pressed_ && pointerInside_; }

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
    QPixmap pressedPicture_;  // made when first needed
    QSize emptySize_;
    bool takesClicksWhenEmpty_;
    bool button_;
    bool pressed_ = false;
    bool pointerInside_ = false;
    std::function<void()> onClick_;
};

}  // namespace tarvel
