#pragma once

#include <QWidget>

namespace tarvel {

// The keyboard's frame around a key button: an outline that takes no clicks.
class FrameElement : public QWidget {
public:
    FrameElement(QWidget* parent, const QRect& place);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tarvel
