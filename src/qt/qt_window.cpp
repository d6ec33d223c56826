#include "qt/qt_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QEventLoop>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "data/data_paths.h"
#include "icon.h"
#include "qt/fonts.h"
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

bool isPlayerInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove: return true;
    default: return false;
    }
}

}  // namespace

// While the program sleeps, input reaches the cancel picture only, and only
// while it shows its picture; everything else the player does then is
// dropped, so that it cannot land on a button shown after the pause.
class SleepInputGate : public QObject {
public:
    explicit SleepInputGate(QtWindow& window) : window_(window) {}

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (!window_.sleeping_ || !isPlayerInput(event->type())) return false;
        if (!receiver->isWidgetType()) return false;  // the window passes it on to a widget, looked at there
        QWidget* cancel = window_.widgets_[el::Cancel_img];
        const bool toCancel = receiver == cancel && cancel->isVisible() && window_.hasPicture(el::Cancel_img);
        const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease;
        return !(toCancel && press);
    }

private:
    QtWindow& window_;
};

void FormWidget::closeEvent(QCloseEvent* event) {
    if (onClose) onClose();
    event->accept();
}

QtWindow::QtWindow(std::filesystem::path dataRoot, std::unique_ptr<Clock> clock)
    : form_(std::make_unique<FormWidget>()),
      dataRoot_(std::move(dataRoot)),
      clock_(clock ? std::move(clock) : std::make_unique<SteadyClock>()) {
    form_->setWindowTitle(QStringLiteral("Tarvel"));
    form_->setFixedSize(kClientWidth, kClientHeight);
    form_->setWindowIcon(QIcon(QPixmap::fromImage(drawTarvelIcon())));
    form_->onClose = [this] { closeRequested(); };
    createElements();
    sleepGate_ = std::make_unique<SleepInputGate>(*this);
    QCoreApplication::instance()->installEventFilter(sleepGate_.get());
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
            widget = new PictureElement(parentFor(id), place.size(), layout.takesClicksWhenEmpty,
                                        [this, id] { elementClicked(id); });
            widget->move(place.topLeft());
            break;
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
        if (layout.kind != ElementKind::Picture) applyFont(id);
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
    QFont font = elementFont(qs(state.fontName), state.fontSize, element(id).font.bold);
    if (id >= el::Lab_S1(0) && id <= el::Lab_S1(el::keyCount - 1)) {
        // A key's record name stands whole under its button: a name wider than
        // the label is condensed, just as much as it needs.
        const QString text = displayText(state.caption);
        const int room = widgets_[id]->contentsRect().width();
        for (int stretch = 100; stretch >= 70; stretch -= 2) {
            font.setStretch(stretch);
            if (QFontMetrics(font).horizontalAdvance(text) <= room) break;
        }
    }
    widgets_[id]->setFont(font);
}

void QtWindow::show(ElementId id) { widgets_.at(id)->show(); }

void QtWindow::hide(ElementId id) { widgets_.at(id)->hide(); }

PictureLoad QtWindow::setPicture(ElementId id, const std::string& dataPath) {
    auto* picture = dynamic_cast<PictureElement*>(widgets_.at(id));
    if (!picture) return PictureLoad::NotAPicture;
    const QString path = QString::fromStdString((dataRoot_ / nativePath(dataPath)).string());
    QPixmap pixmap;
    const PictureLoad result = pictures_.load(path, pixmap, pictureLimit(id));
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
    if (auto* label = dynamic_cast<QLabel*>(widgets_[id])) {
        label->setText(displayText(text));
        if (id >= el::Lab_S1(0) && id <= el::Lab_S1(el::keyCount - 1)) applyFont(id);
    }
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

void QtWindow::elementClicked(ElementId id) {
    if (onClick) onClick(id);
    if (!sleeping_) return;
    woken_ = true;  // a click that passed the gate during a sleep: the cancel
}

void QtWindow::sleepUntil(Instant deadline) {
    if (ended_) throw WindowClosed{};
    if (!wakeDuringSleep_) return clock_->sleepUntil(deadline);
    sleeping_ = true;
    woken_ = false;
    try {
        if (onSleep)
            onSleep(deadline);
        else
            waitForInput(deadline);
    } catch (...) {
        sleeping_ = false;
        throw;
    }
    sleeping_ = false;
    if (ended_) throw WindowClosed{};
}

void QtWindow::waitForInput(Instant until) {
    using std::chrono::milliseconds;
    // Timers have whole milliseconds: wait for events until the last
    // millisecond, then sleep the rest on the clock. (A nested QEventLoop
    // would not do: once the application has been asked to quit, exec()
    // returns at once.)
    const auto left = std::chrono::duration_cast<milliseconds>(until - clock_->now());
    if (left >= milliseconds(2)) {
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer);
        deadline.start(static_cast<int>(left.count() - 1));
        while (!woken_ && !ended_ && deadline.isActive())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (!woken_ && !ended_) clock_->sleepUntil(until);
}

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
