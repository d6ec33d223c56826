#include "support/recording_window.h"

#include <algorithm>
#include <charconv>

namespace tarvel::test {

RecordingWindow::RecordingWindow() {
    for (ElementId id = 0; id < el::elementCount; ++id)
        if (element(id).hiddenAtStart) hidden_.insert(id);
}

void RecordingWindow::draw() { clock_ += drawingCost; }

void RecordingWindow::setEnabled(ElementId id, bool enabled) {
    record("enable " + elementName(id) + (enabled ? " 1" : " 0"));
    if (enabled)
        disabled_.erase(id);
    else
        disabled_.insert(id);
}

void RecordingWindow::record(std::string op) {
    ops.push_back(std::move(op));
    times.push_back(nowMs());
}

long long RecordingWindow::timeOf(const std::string& op, std::size_t from) const {
    for (std::size_t i = from; i < ops.size(); ++i)
        if (ops[i] == op) return times[i];
    return -1;
}

void RecordingWindow::show(ElementId id) {
    record("show " + elementName(id));
    hidden_.erase(id);
    draw();
}

void RecordingWindow::hide(ElementId id) {
    record("hide " + elementName(id));
    hidden_.insert(id);
    draw();
}

PictureLoad RecordingWindow::setPicture(ElementId id, const std::string& dataPath) {
    record("picture " + elementName(id) + " " + dataPath);
    if (missingPictures.count(dataPath)) {
        pictures_.erase(id);
        return PictureLoad::Missing;
    }
    pictures_[id] = dataPath;
    return PictureLoad::Loaded;
}

void RecordingWindow::setCaption(ElementId id, const std::string& text) {
    record("caption " + elementName(id) + " " + text);
    captions_[id] = text;
    draw();
}

void RecordingWindow::setFontName(ElementId id, const std::string& name) {
    record("font " + elementName(id) + " name=" + name);
}

void RecordingWindow::setFontSize(ElementId id, double points) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, points);
    record("font " + elementName(id) + " size=" + std::string(text, written.ptr));
}

void RecordingWindow::setChoices(ElementId id, const std::vector<std::string>& items, int chosen) {
    record("choices " + elementName(id) + " " + std::to_string(items.size()) + " chosen=" + std::to_string(chosen));
    choices = items;
    choicesOf[id] = items;
    chosen_[id] = chosen;
}

int RecordingWindow::chosenIndex(ElementId id) {
    const auto it = chosen_.find(id);
    return it == chosen_.end() ? -1 : it->second;
}

void RecordingWindow::setChart(ElementId id, const ChartData& data) {
    record("chart " + elementName(id) + " " + data.key);
    chart = data;
}

void RecordingWindow::setTable(ElementId id, const TableData& data) {
    record("table " + elementName(id) + " " + std::to_string(data.rows.size()));
    table = data;
}

void RecordingWindow::processEvents() {
    if (ended_) throw WindowClosed{};
    record("pump");
    ++pumps_;
    if (onPump) onPump(pumps_);
    if (ended_) throw WindowClosed{};
}

bool RecordingWindow::firstPumpSince(const std::string& op) const {
    const auto at = std::find(ops.rbegin(), ops.rend(), op);
    if (at == ops.rend() || ops.empty() || ops.back() != "pump") return false;
    return std::count(ops.rbegin(), at, "pump") == 1;
}

void RecordingWindow::sleepUntil(Instant deadline, std::optional<ElementId> heard) {
    const auto pause = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock_).count();
    record("sleep " + std::to_string(pause > 0 ? pause : 0));
    sleepsHeard.push_back(heard ? elementName(*heard) : "");
    if (ended_) throw WindowClosed{};
    if (onSleep && onSleep(deadline)) {
        if (ended_) throw WindowClosed{};
        return;
    }
    if (ended_) throw WindowClosed{};
    if (deadline > clock_) clock_ = deadline;
}

void RecordingWindow::showMessage(const std::string& text) { record("message " + text); }

void RecordingWindow::endProgram(int status) {
    record("exit " + std::to_string(status));
    ended_ = true;
}

void RecordingWindow::closeNow() { ended_ = true; }

bool RecordingWindow::isShown(ElementId id) const { return hidden_.count(id) == 0; }

std::string RecordingWindow::picture(ElementId id) const {
    const auto it = pictures_.find(id);
    return it == pictures_.end() ? "" : it->second;
}

std::string RecordingWindow::caption(ElementId id) const {
    const auto it = captions_.find(id);
    return it == captions_.end() ? "" : it->second;
}

std::vector<std::string> RecordingWindow::messages() const {
    std::vector<std::string> result;
    for (const std::string& op : ops)
        if (op.rfind("message ", 0) == 0) result.push_back(op.substr(8));
    return result;
}

long long RecordingWindow::nowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock_).count();
}

std::vector<std::string> RecordingWindow::visible() const {
    std::vector<std::string> names;
    for (ElementId id = 0; id < el::elementCount; ++id)
        if (isShown(id)) names.push_back(elementName(id));
    return names;
}

std::vector<std::string> RecordingWindow::opsStartingWith(const std::string& prefix, std::size_t from) const {
    std::vector<std::string> result;
    for (std::size_t i = from; i < ops.size(); ++i)
        if (ops[i].rfind(prefix, 0) == 0) result.push_back(ops[i]);
    return result;
}

}  // namespace tarvel::test
