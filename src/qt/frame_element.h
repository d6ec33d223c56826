#pragma once

#include <QWidget>

namespace tarvel {

// The keyboard's frame around a key button: an outline that takes no clicks.
class FrameElement : public QWidget {
public:
    FrameElement(QWidget* parent, const QRect& place);
    // The page's scale: the line and its corners grow with it.
    void setScale(double scale);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double scale_ = 1;
};

}  // namespace tarvel
