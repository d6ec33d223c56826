#include "qt/qt_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <cstdio>

#include "data/data_paths.h"
#include "icon.h"
#include "qt/fonts.h"
#include "qt/frame_element.h"
#include "qt/key_input.h"
#include "qt/picture_element.h"

namespace tarvel {
namespace {

constexpr int kClientWidth = 1016;         // 15240 twips
constexpr int kClientHeight = 713;         // 10692 twips
constexpr int kUpperLayerFirstSlot = 224;  // slots 224 .. 319 lie over the page buttons, 0 .. 223 under them

QString qs(const std::string& text) { return QString::fromStdString(text); }

// The labels show a CR LF as one line break.
QString displayText(const std::string& caption) {
    QString text = qs(caption);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

void paintWhite(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QRect pixelRect(const ElementSpec& e) {
    return QRect(twipsToPixels(e.leftTwips), twipsToPixels(e.topTwips), twipsToPixels(e.widthTwips),
                 twipsToPixels(e.heightTwips));
}

}  // namespace

void FormWidget::closeEvent(QCloseEvent* event) {
    if (onClose) onClose();
    event->accept();
}

void FormWidget::keyReleaseEvent(QKeyEvent* event) {
    if (onKeyRelease)
        onKeyRelease(event);
    else
        QWidget::keyReleaseEvent(event);
}

void FormWidget::keyPressEvent(QKeyEvent* event) {
    if (onKeyPress)
        onKeyPress(event);
    else
        QWidget::keyPressEvent(event);
}

QtWindow::QtWindow(std::filesystem::path dataRoot, std::unique_ptr<Clock> clock)
    : form_(std::make_unique<FormWidget>()),
      dataRoot_(std::move(dataRoot)),
      clock_(clock ? std::move(clock) : std::make_unique<SteadyClock>()) {
    form_->setWindowTitle(QStringLiteral("Tarvel"));
    form_->setFixedSize(kClientWidth, kClientHeight);
    form_->setWindowIcon(QIcon(QPixmap::fromImage(drawTarvelIcon())));
    form_->onClose = [this] { closeRequested(); };
    form_->onKeyPress = [this](QKeyEvent* event) { keyPressed(event); };
    form_->onKeyRelease = [this](QKeyEvent* event) {
        lastRelease_ = {event->key(), event->timestamp()};
        event->accept();
    };
    // Every key goes to the window itself, never to the check box, so that a
    // key means the same whatever was clicked last.
    form_->setFocusPolicy(Qt::StrongFocus);
    createElements();
}

QtWindow::~QtWindow() = default;

void QtWindow::createElements() {
    widgets_.assign(el::elementCount, nullptr);
    states_.assign(el::elementCount, ElementState{});
    // Children stack in the order they are made: make them from the bottom up.
    const std::vector<ElementId>& fromTop = stackingOrderFromTop();
    for (auto it = fromTop.rbegin(); it != fromTop.rend(); ++it) {
        const ElementId id = *it;
        const ElementSpec& layout = element(id);
        const QRect place = pixelRect(layout);
        QWidget* widget = nullptr;
        switch (layout.kind) {
        case ElementKind::Picture:
            widget = new PictureElement(parentFor(id), place.size(), layout.takesClicksWhenEmpty, layout.button,
                                        [this, id] { clickElement(id); });
            widget->move(place.topLeft());
            break;
        case ElementKind::Frame: widget = new FrameElement(form_.get(), place); break;
        case ElementKind::Label: {
            auto* label = new QLabel(form_.get());
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            label->setGeometry(place);
            paintWhite(label);
            widget = label;
            break;
        }
        case ElementKind::CheckBox: {
            auto* box = new QCheckBox(qs(layout.initialCaption), form_.get());
            box->setGeometry(place);
            box->setFocusPolicy(Qt::NoFocus);
            box->setCursor(Qt::PointingHandCursor);
            paintWhite(box);
            widget = box;
            break;
        }
        }
        widgets_[id] = widget;
        ElementState& state = states_[id];
        state.fontName = layout.font.name;
        state.fontSize = layout.font.points;
        state.caption = layout.initialCaption;
        if (layout.kind == ElementKind::Label || layout.kind == ElementKind::CheckBox) applyFont(id);
        if (layout.kind == ElementKind::Label) static_cast<QLabel*>(widget)->setText(displayText(state.caption));
    }
}

QWidget* QtWindow::parentFor(ElementId id) {
    // The 3200 note and finger pictures lie in two layers that take no clicks:
    // showing or hiding a widget makes Qt look for the widget under the mouse,
    // and the layers keep that search from visiting every one of them.
    const bool finger = id >= el::Uns_img(0);
    if (!finger && id < el::onp_img(0)) return form_.get();
    const int slot = finger ? (id - el::Uns_img(0)) / el::fingersPerNote : id - el::onp_img(0);
    QWidget*& layer = slotLayers_[slot >= kUpperLayerFirstSlot ? 1 : 0];
    if (!layer) {
        layer = new QWidget(form_.get());
        layer->setGeometry(0, 0, kClientWidth, kClientHeight);
        layer->setAttribute(Qt::WA_TransparentForMouseEvents);
        layer->setAttribute(Qt::WA_NoSystemBackground);
    }
    return layer;
}

void QtWindow::applyFont(ElementId id) {
    const ElementState& state = states_[id];
    widgets_[id]->setFont(elementFont(qs(state.fontName), state.fontSize, element(id).font.bold));
}

void QtWindow::show(ElementId id) { widgets_.at(id)->show(); }

void QtWindow::hide(ElementId id) { widgets_.at(id)->hide(); }

PictureLoad QtWindow::setPicture(ElementId id, const std::string& dataPath) {
    auto* picture = dynamic_cast<PictureElement*>(widgets_.at(id));
    if (!picture) return PictureLoad::NotAPicture;
    const QString path = QString::fromStdString((dataRoot_ / nativePath(dataPath)).string());
    QPixmap pixmap;
    const PictureLoad result = pictures_.load(path, pixmap);
    if (result == PictureLoad::Loaded) {
        picture->setPicture(pixmap);
        states_[id].picturePath = dataPath;
    } else {
        picture->clearPicture();
        states_[id].picturePath.clear();
    }
    return result;
}

void QtWindow::setCaption(ElementId id, const std::string& text) {
    states_.at(id).caption = text;
    if (auto* label = dynamic_cast<QLabel*>(widgets_[id])) label->setText(displayText(text));
}

void QtWindow::setFontName(ElementId id, const std::string& name) {
    states_.at(id).fontName = name;
    applyFont(id);
}

void QtWindow::setFontSize(ElementId id, double points) {
    states_.at(id).fontSize = points;
    applyFont(id);
}

bool QtWindow::isChecked(ElementId id) {
    auto* box = dynamic_cast<QCheckBox*>(widgets_.at(id));
    return box && box->isChecked();
}

void QtWindow::processEvents() {
    if (ended_) throw WindowClosed{};
    pictures_.startBatch();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (onPump && !ended_) onPump();
    if (ended_) throw WindowClosed{};
}

void QtWindow::sleepUntil(Instant deadline) { clock_->sleepUntil(deadline); }

Instant QtWindow::now() { return clock_->now(); }

CalendarDate QtWindow::today() {
    if (fixedToday_.year != 0) return fixedToday_;
    const QDate date = QDate::currentDate();
    return CalendarDate{date.year(), date.month(), date.day()};
}

void QtWindow::showMessage(const std::string& text) {
    std::fprintf(stderr, "Tarvel: %s\n", text.c_str());
    if (onMessage) {
        onMessage(text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Tarvel"), qs(text), QMessageBox::Ok,
                    form_->isVisible() ? form_.get() : nullptr);
    box.exec();
}

void QtWindow::endProgram(int status) {
    ended_ = true;
    exitStatus_ = status;
    QCoreApplication::exit(status);
}

void QtWindow::closeRequested() {
    if (!ended_ && onCloseRequest) onCloseRequest();
}

void QtWindow::clickElement(ElementId id) {
    if (onClick) onClick(id);
}

void QtWindow::keyPressed(QKeyEvent* event) {
    event->accept();
    // A held key repeats nothing: one press, one click. X sends a held key as
    // releases and presses in pairs with one time, and Qt does not flag every
    // such pair as a repeat when a handler has kept it busy.
    const bool repeat =
        event->isAutoRepeat() || (event->key() == lastRelease_.key && event->timestamp() == lastRelease_.timestamp);
    if (repeat || ended_ || !onKey) return;
    const std::optional<KeyInput> key = keyInputFor(event->key());
    if (!key) return;
    for (const ElementId id : onKey(*key)) {
        if (!isClickable(id)) continue;
        if (auto* box = dynamic_cast<QCheckBox*>(widgets_[id]))
            box->click();
        else
            clickElement(id);
        return;  // the buttons a key names are never shown together
    }
}

bool QtWindow::isClickable(ElementId id) const {
    const QWidget* widget = widgets_.at(id);
    if (widget->isHidden() || !widget->geometry().intersects(form_->rect())) return false;
    if (const auto* picture = dynamic_cast<const PictureElement*>(widget))
        return !picture->testAttribute(Qt::WA_TransparentForMouseEvents);
    return dynamic_cast<const QCheckBox*>(widget) != nullptr;
}

bool QtWindow::isShown(ElementId id) const { return !widgets_.at(id)->isHidden(); }

bool QtWindow::hasPicture(ElementId id) const {
    auto* picture = dynamic_cast<PictureElement*>(widgets_.at(id));
    return picture && picture->hasPicture();
}

const std::string& QtWindow::picturePath(ElementId id) const { return states_.at(id).picturePath; }
const std::string& QtWindow::fontName(ElementId id) const { return states_.at(id).fontName; }
double QtWindow::fontSize(ElementId id) const { return states_.at(id).fontSize; }
const std::string& QtWindow::caption(ElementId id) const { return states_.at(id).caption; }

}  // namespace tarvel
