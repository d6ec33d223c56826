#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

namespace tarvel {

// A picture element: shows its picture at natural size with its transparency,
// top-left at its place, and reports a click (press and release over it).
class PictureElement : public QWidget {
public:
    PictureElement(QWidget* parent, QSize emptySize, bool takesClicksWhenEmpty, std::function<void()> onClick);

    void setPicture(const QPixmap& picture);
    void clearPicture();
    bool hasPicture() const { return !picture_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void updateClickArea();

    QPixmap picture_;
    QSize emptySize_;
    bool takesClicksWhenEmpty_;
    bool pressed_ = false;
    std::function<void()> onClick_;
};

}  // namespace tarvel
