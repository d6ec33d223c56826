#include "qt/qt_window.h"

#include <QApplication>
#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDateTimeAxis>
#include <QEventLoop>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMessageBox>
#include <QScatterSeries>
#include <QTableWidget>
#include <QTimer>
#include <QValueAxis>
#include <cmath>
#include <cstdio>
#include <set>
#include <tuple>

#include "data/data_paths.h"
#include "data/written_note.h"
#include "grade/grading.h"
#include "icon.h"
#include "keys/key_table.h"
#include "qt/fonts.h"
#include "qt/frame_element.h"
#include "qt/key_input.h"
#include "qt/picture_element.h"
#include "ui/page_scale.h"
#include "ui/picture_limits.h"

namespace tarvel {
namespace {

constexpr int kUpperLayerFirstSlot = 224;  // slots 224 .. 319 lie over the page buttons, 0 .. 223 under them

QString qs(const std::string& text) { return QString::fromStdString(text); }

// The labels show a CR LF as one line break.
QString displayText(const std::string& caption) {
    QString text = qs(caption);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

// A caption with a path on a line of its own ("/home/…/tarvel") keeps the
// path whole on that line: set smaller where it is wider than the label (down
// to half the size), and shortened in its middle only beyond that.
void setLabelText(QLabel* label, const QString& text) {
    const QStringList lines = text.split(QChar('\n'));
    const bool hasPath = std::any_of(lines.begin(), lines.end(), [](const QString& l) { return l.startsWith('/'); });
    if (!hasPath) {
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        label->setToolTip(QString());
        return;
    }
    label->setToolTip(text);  // the whole path, where it had to be shortened
    const QFont font = label->font();
    const int room = label->contentsRect().width() - 2;
    QString html;
    for (const QString& line : lines) {
        if (!html.isEmpty()) html += QStringLiteral("<br>");
        if (!line.startsWith('/')) {
            html += line.toHtmlEscaped();
            continue;
        }
        QFont small = font;
        const int wide = QFontMetrics(font).horizontalAdvance(line);
        if (wide > room) small.setPixelSize(std::max(font.pixelSize() / 2, font.pixelSize() * room / wide));
        const QString shown = QFontMetrics(small).elidedText(line, Qt::ElideMiddle, room);
        html += QStringLiteral("<span style=\"white-space:pre; font-size:%1px\">%2</span>")
                    .arg(small.pixelSize())
                    .arg(shown.toHtmlEscaped());
    }
    label->setTextFormat(Qt::RichText);
    label->setText(html);
}

void paintWhite(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QRect pixelRect(const ElementSpec& e, double scale) {
    return QRect(scaledPixels(e.leftTwips, scale), scaledPixels(e.topTwips, scale), scaledPixels(e.widthTwips, scale),
                 scaledPixels(e.heightTwips, scale));
}

QSize pageSize(double scale) {
    return {static_cast<int>(std::lround(kPageWidth * scale)), static_cast<int>(std::lround(kPageHeight * scale))};
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

// A best-result badge: a small gold tag that lets clicks through to its button.
void makeBadge(QLabel* label, double scale) {
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(false);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setAutoFillBackground(false);
    label->setStyleSheet(QStringLiteral("QLabel { background: #fff3c4; color: #5a3800; border: %1px solid #c79a2e; "
                                        "border-radius: %2px; }")
                             .arg(std::max(1L, std::lround(scale)))
                             .arg(std::lround(3 * scale)));
}

// A check box's square grows with the page; at scale 1 it is the style's own.
void scaleIndicator(QCheckBox* box, double scale) {
    if (scale == 1) {
        box->setStyleSheet(QString());
        return;
    }
    const int side = static_cast<int>(std::lround(13 * scale));
    box->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(side));
}

QDateTime timeOf(const std::string& text) {
    return QDateTime::fromString(qs(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace

// While the program sleeps, input reaches only what the sleep hears (the
// program says: the cancel picture while it shows); everything else the
// player does then is dropped, so that it cannot land on a button shown after
// the pause.
class SleepInputGate : public QObject {
public:
    explicit SleepInputGate(QtWindow& window) : window_(window) {}

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (!window_.sleeping_ || !isPlayerInput(event->type())) return false;
        if (!receiver->isWidgetType()) return false;  // the window passes it on to a widget, looked at there
        if (!window_.heard_) return true;
        // Keys go on to the program, which says what they stand for.
        const auto type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease) return false;
        const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease;
        return !(press && receiver == window_.widgets_[*window_.heard_]);
    }

private:
    QtWindow& window_;
};

bool FormWidget::event(QEvent* event) {
    // Moved to a screen of another pixel density: the pictures are chosen anew.
    if (event->type() == QEvent::ScreenChangeInternal && onResize) onResize();
    return QWidget::event(event);
}

void FormWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResize) onResize();
}

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
    // The layout's own size; the window may be resized and maximised, and
    // the page follows, down to half its size.
    form_->resize(kPageWidth, kPageHeight);
    form_->setMinimumSize(kPageWidth / 2, kPageHeight / 2);
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
    form_->onResize = [this] { relayout(); };
    twinsWanted_ = form_->devicePixelRatioF() > 1.0001;
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
        const QRect place = placeOf(id);
        QWidget* widget = nullptr;
        switch (layout.kind) {
        case ElementKind::Picture:
            widget = new PictureElement(parentFor(id), place.size(), layout.takesClicksWhenEmpty, layout.button,
                                        [this, id] { clickElement(id); });
            widget->move(place.topLeft());
            // A button says what it does and which key does it too.
            if (layout.button) widget->setToolTip(qs(buttonTip(id)));
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
            box->setChecked(layout.initiallyChecked);
            box->setFocusPolicy(Qt::NoFocus);
            box->setCursor(Qt::PointingHandCursor);
            paintWhite(box);
            widget = box;
            break;
        }
        case ElementKind::Choice: {
            auto* choice = new QComboBox(form_.get());
            choice->setGeometry(place);
            choice->setFocusPolicy(Qt::NoFocus);  // its keys are the window's: arrows choose through the program
            choice->setMaxVisibleItems(kKeyCount);
            QObject::connect(choice, &QComboBox::activated, choice, [this, id](int) {
                if (onClick) onClick(id);
            });
            widget = choice;
            break;
        }
        case ElementKind::Chart: {
            auto* view = new QChartView(new QChart, form_.get());
            view->setGeometry(place);
            view->setRenderHint(QPainter::Antialiasing);
            widget = view;
            break;
        }
        case ElementKind::Table: {
            auto* table = new QTableWidget(form_.get());
            table->setGeometry(place);
            table->setEditTriggers(QAbstractItemView::NoEditTriggers);
            // A row may be chosen with the mouse (to take a run back); the
            // keys stay the window's.
            table->setSelectionMode(QAbstractItemView::SingleSelection);
            table->setSelectionBehavior(QAbstractItemView::SelectRows);
            table->setFocusPolicy(Qt::NoFocus);
            table->verticalHeader()->hide();
            table->horizontalHeader()->setStretchLastSection(true);
            widget = table;
            break;
        }
        }
        if (layout.hiddenAtStart) widget->hide();
        widgets_[id] = widget;
        ElementState& state = states_[id];
        state.fontName = layout.font.name;
        state.fontSize = layout.font.points;
        state.caption = layout.initialCaption;
        if (layout.kind == ElementKind::Label || layout.kind == ElementKind::CheckBox) applyFont(id);
        if (layout.kind == ElementKind::Label) setLabelText(static_cast<QLabel*>(widget), displayText(state.caption));
        if (layout.badge) makeBadge(static_cast<QLabel*>(widget), scale_);
        // The elements added after the original pages start hidden; the
        // original ones start shown and Form_Load hides them.
        if (id >= el::kProgressFirst) widget->hide();
    }
}

QWidget* QtWindow::parentFor(ElementId id) {
    // The 3200 note and finger pictures lie in two layers that take no clicks:
    // showing or hiding a widget makes Qt look for the widget under the mouse,
    // and the layers keep that search from visiting every one of them.
    const bool finger = id >= el::Uns_img(0) && id < el::Uns_img(el::fingerSlotCount);
    const bool note = id >= el::onp_img(0) && id < el::onp_img(el::noteSlotCount);
    if (!finger && !note) return form_.get();
    const int slot = finger ? (id - el::Uns_img(0)) / el::fingersPerNote : id - el::onp_img(0);
    QWidget*& layer = slotLayers_[slot >= kUpperLayerFirstSlot ? 1 : 0];
    if (!layer) {
        layer = new QWidget(form_.get());
        layer->setGeometry(QRect(pageOrigin_, pageSize(scale_)));
        layer->setAttribute(Qt::WA_TransparentForMouseEvents);
        layer->setAttribute(Qt::WA_NoSystemBackground);
    }
    return layer;
}

QRect QtWindow::placeOf(ElementId id) const {
    // The note and finger pictures' layers stand where the page does.
    const QWidget* widget = static_cast<std::size_t>(id) < widgets_.size() ? widgets_[id] : nullptr;
    const bool inLayer = widget && widget->parentWidget() != form_.get();
    const bool slot = id >= el::onp_img(0) && id < el::Uns_img(el::fingerSlotCount);
    return pixelRect(element(id), scale_).translated(inLayer || (!widget && slot) ? QPoint() : pageOrigin_);
}

QRect QtWindow::placeInWindow(ElementId id) const {
    const QWidget* widget = widgets_.at(id);
    return QRect(widget->mapTo(form_.get(), QPoint(0, 0)), widget->size());
}

void QtWindow::relayout() {
    const PageFit fit = fitPage(form_->width(), form_->height());
    const QPoint origin(fit.left, fit.top);
    // Where a picture shows larger than its own pixels, its twin is sharper.
    const bool twins = fit.scale * form_->devicePixelRatioF() > 1.0001;
    if (fit.scale == scale_ && origin == pageOrigin_ && twins == twinsWanted_) return;
    const bool rescaled = fit.scale != scale_;
    scale_ = fit.scale;
    pageOrigin_ = origin;
    if (rescaled) PictureElement::forgetResampled();
    for (QWidget* layer : slotLayers_)
        if (layer) layer->setGeometry(QRect(pageOrigin_, pageSize(scale_)));
    for (ElementId id = 0; id < el::elementCount; ++id) applyScaleTo(id, rescaled);
    if (twins != twinsWanted_) {
        twinsWanted_ = twins;
        for (ElementId id = 0; id < el::elementCount; ++id)
            if (!states_[id].picturePath.empty()) loadPicture(id, states_[id].picturePath);
    }
    if (rescaled)
        for (const auto& [id, chart] : charts_) setChart(id, chart);
    if (rescaled)
        for (const auto& [id, chart] : tuneCharts_) setTuneChart(id, chart);
}

void QtWindow::applyScaleTo(ElementId id, bool rescaled) {
    QWidget* widget = widgets_[id];
    const QRect place = placeOf(id);
    switch (element(id).kind) {
    case ElementKind::Picture:
        static_cast<PictureElement*>(widget)->setScale(scale_);
        widget->move(place.topLeft());
        return;
    case ElementKind::Frame:
        static_cast<FrameElement*>(widget)->setScale(scale_);
        widget->setGeometry(place);
        return;
    default: widget->setGeometry(place); break;
    }
    if (!rescaled) return;
    if (element(id).kind != ElementKind::Chart) applyFont(id);
    if (element(id).badge) makeBadge(static_cast<QLabel*>(widget), scale_);
    if (auto* box = dynamic_cast<QCheckBox*>(widget)) scaleIndicator(box, scale_);
    if (auto* table = dynamic_cast<QTableWidget*>(widget)) {
        table->resizeColumnsToContents();
        table->resizeRowsToContents();
    }
}

void QtWindow::applyFont(ElementId id) {
    const ElementState& state = states_[id];
    QFont font = elementFont(qs(state.fontName), state.fontSize * scale_, element(id).font.bold);
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
    // A path in the caption is fitted to the label in this font.
    if (auto* label = qobject_cast<QLabel*>(widgets_[id]); label && label->textFormat() == Qt::RichText)
        setLabelText(label, displayText(state.caption));
}

void QtWindow::show(ElementId id) { widgets_.at(id)->show(); }

void QtWindow::hide(ElementId id) { widgets_.at(id)->hide(); }

PictureLoad QtWindow::setPicture(ElementId id, const std::string& dataPath) { return loadPicture(id, dataPath); }

PictureLoad QtWindow::loadPicture(ElementId id, const std::string& dataPath) {
    auto* picture = dynamic_cast<PictureElement*>(widgets_.at(id));
    if (!picture) return PictureLoad::NotAPicture;
    auto fullPath = [this](const std::string& path) {
        return QString::fromStdString((dataRoot_ / nativePath(path)).string());
    };
    QPixmap pixmap;
    const SizeLimit limit = pictureLimit(id);
    const PictureLoad result = pictures_.load(fullPath(dataPath), pixmap, limit);
    if (result == PictureLoad::Loaded) {
        // The twin is read only where the page shows larger than its own
        // pixels; one missing, or not twice the picture's size, leaves the
        // picture to be enlarged.
        QPixmap twin;
        const SizeLimit twinLimit{kTwinScale * pixmap.width(), kTwinScale * pixmap.height(), true};
        if (twinsWanted_ && (pictures_.load(fullPath(twinPicture(dataPath)), twin, twinLimit) != PictureLoad::Loaded ||
                             twin.size() != pixmap.size() * kTwinScale))
            twin = QPixmap();
        picture->setPicture(pixmap, twin);
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
        setLabelText(label, displayText(text));
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

void QtWindow::setEnabled(ElementId id, bool enabled) {
    QWidget* widget = widgets_.at(id);
    widget->setEnabled(enabled);
    if (auto* box = dynamic_cast<QCheckBox*>(widget); box && !enabled) box->setChecked(false);
}

bool QtWindow::isEnabled(ElementId id) const { return widgets_.at(id)->isEnabled(); }

void QtWindow::setChoices(ElementId id, const std::vector<std::string>& items, int chosen) {
    auto* choice = dynamic_cast<QComboBox*>(widgets_.at(id));
    if (!choice) return;
    const QSignalBlocker quiet(choice);
    choice->clear();
    for (const std::string& item : items) choice->addItem(qs(item));
    choice->setCurrentIndex(chosen);
}

int QtWindow::chosenIndex(ElementId id) {
    if (auto* table = dynamic_cast<QTableWidget*>(widgets_.at(id))) {
        const QModelIndexList rows = table->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }
    auto* choice = dynamic_cast<QComboBox*>(widgets_.at(id));
    return choice ? choice->currentIndex() : -1;
}

void QtWindow::choose(ElementId id, int index) {
    auto* choice = dynamic_cast<QComboBox*>(widgets_.at(id));
    if (!choice || choice->isHidden() || index < 0 || index >= choice->count()) return;
    choice->setCurrentIndex(index);
    emit choice->activated(index);
}

void QtWindow::setChart(ElementId id, const ChartData& data) {
    auto* view = dynamic_cast<QChartView*>(widgets_.at(id));
    if (!view) return;
    if (&data != &charts_[id]) charts_[id] = data;
    // A new chart each time: axes taken off a chart leave their labels drawn.
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setMargins(QMargins(4, 4, 4, 4));
    if (scale_ != 1) {
        QFont legend = chart->legend()->font();
        legend.setPointSizeF(legend.pointSizeF() * scale_);
        chart->legend()->setFont(legend);
    }
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
    chart->setProperty("key", qs(data.key));
    chart->setTitle(qs(keyName(data.key)) +
                    (data.lines.empty() ? QStringLiteral("　まだ記録がありません") : QString()));
    chart->setTitleFont(elementFont(QStringLiteral("MS UI Gothic"), 11 * scale_, true));

    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("M/d"));
    time->setLabelsFont(elementFont(QStringLiteral("MS UI Gothic"), 8 * scale_, false));
    auto* grades = new QCategoryAxis;
    grades->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    grades->setLabelsFont(elementFont(QStringLiteral("MS UI Gothic"), 7.5 * scale_, false));
    grades->setTruncateLabels(false);
    grades->setStartValue(0.5);
    for (int g = 1; g <= 14; ++g) grades->append(qs(std::string(gradeText(g))), g);
    grades->setRange(0.5, 14.5);
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(grades, Qt::AlignLeft);

    QDateTime first, last;
    for (const ChartLine& line : data.lines) {
        auto* series = new QLineSeries;
        series->setName(QStringLiteral("♩") + qs(line.tempo));
        series->setProperty("tempo", qs(line.tempo));
        series->setPointsVisible(true);
        for (const ChartPoint& point : line.points) {
            const QDateTime at = timeOf(point.time);
            if (!at.isValid()) continue;
            if (!first.isValid() || at < first) first = at;
            if (!last.isValid() || at > last) last = at;
            series->append(static_cast<qreal>(at.toMSecsSinceEpoch()), point.grade);
        }
        chart->addSeries(series);
        series->attachAxis(time);
        series->attachAxis(grades);
    }
    if (!first.isValid()) first = last = QDateTime::currentDateTime();
    // Whole days, from the first day's midnight to the one after the last
    // day, with a tick at each midnight while they fit.
    const QDateTime from(first.date(), QTime(0, 0));
    const QDateTime to(last.date().addDays(1), QTime(0, 0));
    const int days = static_cast<int>(from.daysTo(to));
    time->setRange(from, to);
    time->setTickCount(days <= 10 ? days + 1 : 8);
    chart->legend()->setVisible(!data.lines.empty());
}

void QtWindow::setTuneChart(ElementId id, const TuneChartData& data) {
    auto* view = dynamic_cast<QChartView*>(widgets_.at(id));
    if (!view) return;
    if (&data != &tuneCharts_[id]) tuneCharts_[id] = data;
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setMargins(QMargins(4, 4, 4, 4));
    QFont legendFont = elementFont(QStringLiteral("MS UI Gothic"), 8 * scale_, false);
    chart->legend()->setFont(legendFont);
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
    chart->setTitle(data.points.empty() ? QStringLiteral("音程の傾向　まだ測った音がありません")
                                        : QStringLiteral("音程の傾向（合っていた音の平均のずれ、セント）"));
    chart->setTitleFont(elementFont(QStringLiteral("MS UI Gothic"), 11 * scale_, true));

    const int n = static_cast<int>(data.points.size());
    double most = 40;
    for (const TunePoint& p : data.points) most = std::max(most, std::abs(p.cents) + 10);
    auto* notes = new QCategoryAxis;
    notes->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    notes->setLabelsFont(elementFont(QStringLiteral("MS UI Gothic"), 7.5 * scale_, false));
    notes->setRange(-0.5, std::max(n, 1) - 0.5);
    for (int i = 0; i < n; ++i) notes->append(qs(data.points[static_cast<std::size_t>(i)].name), i);
    auto* cents = new QValueAxis;
    cents->setRange(-most, most);
    cents->setLabelFormat(QStringLiteral("%+d"));
    cents->setLabelsFont(elementFont(QStringLiteral("MS UI Gothic"), 7.5 * scale_, false));
    chart->addAxis(notes, Qt::AlignBottom);
    chart->addAxis(cents, Qt::AlignLeft);
    auto attach = [&](QAbstractSeries* series) {
        chart->addSeries(series);
        series->attachAxis(notes);
        series->attachAxis(cents);
    };
    // The registers, shaded behind the notes that lie in them.
    static const QColor kShades[] = {QColor(0x4f, 0x81, 0xbd, 70), QColor(0xf7, 0x96, 0x46, 80),
                                     QColor(0x9b, 0xbb, 0x59, 75), QColor(0x80, 0x64, 0xa2, 75)};
    std::set<Register> named;
    for (int first = 0; first < n;) {
        const Register r = registerOf(data.points[static_cast<std::size_t>(first)].clarinetMidi);
        int last = first;
        while (last + 1 < n && registerOf(data.points[static_cast<std::size_t>(last + 1)].clarinetMidi) == r) ++last;
        auto* top = new QLineSeries;
        auto* bottom = new QLineSeries;
        *top << QPointF(first - 0.5, most) << QPointF(last + 0.5, most);
        *bottom << QPointF(first - 0.5, -most) << QPointF(last + 0.5, -most);
        auto* band = new QAreaSeries(top, bottom);
        band->setName(QString::fromUtf8(registerName(r)));
        band->setColor(kShades[static_cast<int>(r)]);
        band->setBorderColor(Qt::transparent);
        attach(band);
        QLegendMarker* marker = chart->legend()->markers(band).front();
        QColor solid = kShades[static_cast<int>(r)];
        solid.setAlpha(200);
        marker->setBrush(solid);  // the legend shows the shade as strong as it reads behind the notes
        if (!named.insert(r).second) marker->setVisible(false);
        first = last + 1;
    }
    // The lines a teacher reads against: in tune, ±10 and ±25 cents.
    for (const auto& [at, colour, style] : {std::tuple{0.0, QColor(0x40, 0x40, 0x40), Qt::SolidLine},
                                            std::tuple{10.0, QColor(0x70, 0x90, 0x70), Qt::DashLine},
                                            std::tuple{-10.0, QColor(0x70, 0x90, 0x70), Qt::DashLine},
                                            std::tuple{25.0, QColor(0xc0, 0x50, 0x30), Qt::DashLine},
                                            std::tuple{-25.0, QColor(0xc0, 0x50, 0x30), Qt::DashLine}}) {
        auto* line = new QLineSeries;
        *line << QPointF(-0.5, at) << QPointF(std::max(n, 1) - 0.5, at);
        line->setPen(QPen(colour, 1.2 * scale_, style));
        attach(line);
        chart->legend()->markers(line).front()->setVisible(false);
    }
    auto* points = new QScatterSeries;
    points->setName(QStringLiteral("平均のずれ"));
    points->setMarkerSize(9 * scale_);
    points->setColor(QColor(0x1f, 0x4e, 0x9c));
    for (int i = 0; i < n; ++i) points->append(i, data.points[static_cast<std::size_t>(i)].cents);
    attach(points);
    chart->legend()->setVisible(n > 0);
}

void QtWindow::setTable(ElementId id, const TableData& data) {
    auto* table = dynamic_cast<QTableWidget*>(widgets_.at(id));
    if (!table) return;
    table->clear();
    table->setColumnCount(static_cast<int>(data.header.size()));
    table->setRowCount(static_cast<int>(data.rows.size()));
    QStringList header;
    for (const std::string& title : data.header) header << qs(title);
    table->setHorizontalHeaderLabels(header);
    for (int r = 0; r < static_cast<int>(data.rows.size()); ++r)
        for (int c = 0; c < static_cast<int>(data.rows[r].size()) && c < table->columnCount(); ++c)
            table->setItem(r, c, new QTableWidgetItem(qs(data.rows[r][c])));
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
}

void QtWindow::processEvents() {
    if (ended_) throw WindowClosed{};
    pictures_.startBatch();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (onPump && !ended_) onPump();
    if (ended_) throw WindowClosed{};
}

void QtWindow::sleepUntil(Instant deadline, std::optional<ElementId> heard) {
    if (ended_) throw WindowClosed{};
    if (!wakeDuringSleep_) return clock_->sleepUntil(deadline);
    sleeping_ = true;
    heard_ = heard;
    woken_ = false;
    try {
        if (onSleep)
            onSleep(deadline);
        else
            waitForInput(deadline);
    } catch (...) {
        sleeping_ = false;
        heard_.reset();
        throw;
    }
    sleeping_ = false;
    heard_.reset();
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

TimeOfDay QtWindow::timeOfDay() {
    if (fixedToday_.year == 0) return Window::timeOfDay();
    // A fixed day (the driver's) has a fixed morning: ten o'clock when the
    // program started, then as its clock runs.
    const auto seconds = (10 * 3600 + std::chrono::duration_cast<std::chrono::seconds>(now()).count()) % 86400;
    return {static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)};
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
    // What the sleep hears ends it.
    if (sleeping_ && heard_ == id) woken_ = true;
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
    const std::optional<ElementId> id = onKey(*key);
    if (!id || (sleeping_ && heard_ != id)) return;
    if (auto* box = dynamic_cast<QCheckBox*>(widgets_[*id]))
        box->click();
    else
        clickElement(*id);
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
