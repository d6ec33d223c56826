// The program's one window in Qt widgets: every element of the layout at its
// place, in its stacking order.
#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/keyboard.h"
#include "qt/picture_cache.h"
#include "ui/clock.h"
#include "ui/window.h"

class QCheckBox;
class QKeyEvent;
class QLabel;

namespace tarvel {

class PictureElement;

// The top-level widget; it tells its owner of a close request, of keys, and
// of a new size or screen.
class FormWidget : public QWidget {
public:
    std::function<void()> onClose;
    std::function<void(QKeyEvent*)> onKeyPress;
    std::function<void(QKeyEvent*)> onKeyRelease;
    std::function<void()> onResize;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

class QtWindow : public Window {
public:
    // Data paths are resolved against `dataRoot` (the current folder when empty).
    explicit QtWindow(std::filesystem::path dataRoot = {}, std::unique_ptr<Clock> clock = nullptr);
    ~QtWindow() override;

    // Where clicks and the close request go.
    std::function<void(ElementId)> onClick;
    // A key the pages know was pressed: gives the buttons it stands for (the
    // window clicks the one it shows, as the mouse would).
    std::function<std::optional<ElementId>(KeyInput)> onKey;
    std::function<void()> onCloseRequest;
    // Runs inside every processEvents, after the window's events (the driver
    // delivers its scheduled events here).
    std::function<void()> onPump;
    // Shows a message; the default is a message box.
    std::function<void(const std::string&)> onMessage;
    // Runs in place of the wait of every sleep, with its deadline (the driver
    // delivers its scheduled events there, on its own clock). It returns once
    // the deadline is reached or sleepWoken() is true.
    std::function<void(Instant)> onSleep;

    // Window
    void show(ElementId id) override;
    void hide(ElementId id) override;
    PictureLoad setPicture(ElementId id, const std::string& dataPath) override;
    void setCaption(ElementId id, const std::string& text) override;
    void setFontName(ElementId id, const std::string& name) override;
    void setFontSize(ElementId id, double points) override;
    bool isChecked(ElementId id) override;
    void setEnabled(ElementId id, bool enabled) override;
    void setChoices(ElementId id, const std::vector<std::string>& items, int chosen) override;
    int chosenIndex(ElementId id) override;
    void setChart(ElementId id, const ChartData& chart) override;
    void setTable(ElementId id, const TableData& table) override;
    void setTuneChart(ElementId id, const TuneChartData& chart) override;
    void processEvents() override;
    void sleepUntil(Instant deadline, std::optional<ElementId> heard) override;
    Instant now() override;
    CalendarDate today() override;
    TimeOfDay timeOfDay() override;
    void showMessage(const std::string& text) override;
    void endProgram(int status) override;

    // Waits for input until `until` on the real clock, handling only a close
    // and the input the sleep hears; returns early once one of them came.
    void waitForInput(Instant until);
    // Whether the input the sleep hears has ended the current sleep.
    bool sleepWoken() const { return woken_; }
    // Off: sleeps are plain sleeps and input waits for the next processEvents
    // (for comparison in the bench).
    void setWakeDuringSleep(bool on) { wakeDuringSleep_ = on; }

    bool ended() const { return ended_; }
    int exitStatus() const { return exitStatus_; }

    // What an element shows, as the program set it.
    bool isShown(ElementId id) const;
    bool hasPicture(ElementId id) const;
    const std::string& picturePath(ElementId id) const;
    const std::string& fontName(ElementId id) const;
    double fontSize(ElementId id) const;
    const std::string& caption(ElementId id) const;
    bool isEnabled(ElementId id) const;
    QWidget* elementWidget(ElementId id) const { return widgets_.at(static_cast<std::size_t>(id)); }
    // The page's scale in the window (1: the layout's own pixels) and where
    // its top-left corner stands.
    double pageScale() const { return scale_; }
    QPoint pageOrigin() const { return pageOrigin_; }
    // Where an element stands in the window's client area now.
    QRect placeInWindow(ElementId id) const;
    // The top-level widget: show it once Form_Load has run.
    QWidget* form() const { return form_.get(); }

    // Chooses an item of a choice element as the player would.
    void choose(ElementId id, int index);

    void setToday(CalendarDate date) { fixedToday_ = date; }
    void setPictureSharing(bool on) { pictures_.setSharing(on); }

private:
    struct ElementState {
        std::string picturePath;
        std::string fontName;
        double fontSize = 0;
        std::string caption;
    };
    void createElements();
    QWidget* parentFor(ElementId id);
    // Where an element stands in its parent at the current scale.
    QRect placeOf(ElementId id) const;
    // Lays the page out again for the window's size and screen.
    void relayout();
    PictureLoad loadPicture(ElementId id, const std::string& dataPath);
    void applyScaleTo(ElementId id, bool rescaled);
    void applyFont(ElementId id);
    void closeRequested();
    // The one way a click reaches the program, from the mouse or a key.
    void clickElement(ElementId id);
    void keyPressed(QKeyEvent* event);
    friend class SleepInputGate;

    std::unique_ptr<FormWidget> form_;
    std::filesystem::path dataRoot_;
    std::unique_ptr<Clock> clock_;
    PictureCache pictures_;
    std::vector<QWidget*> widgets_;
    QWidget* slotLayers_[2] = {nullptr, nullptr};
    double scale_ = 1;
    QPoint pageOrigin_;
    bool twinsWanted_ = false;               // the pictures show larger than their own size
    std::map<ElementId, ChartData> charts_;  // drawn again at a new scale
    std::map<ElementId, TuneChartData> tuneCharts_;
    std::vector<ElementState> states_;
    CalendarDate fixedToday_{};
    struct KeyRelease {
        int key = 0;
        unsigned long long timestamp = 0;
    } lastRelease_;
    bool ended_ = false;
    int exitStatus_ = 0;
    bool sleeping_ = false;
    std::optional<ElementId> heard_;  // what the current sleep hears besides a close
    bool woken_ = false;
    bool wakeDuringSleep_ = true;
    std::unique_ptr<QObject> sleepGate_;
};

}  // namespace tarvel
