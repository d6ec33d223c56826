#include "drive/tracing.h"

#include <charconv>
#include <cmath>

namespace tarvel {
namespace {

const char* loadText(PictureLoad result) {
    switch (result) {
    case PictureLoad::Loaded: return "";
    case PictureLoad::Missing: return " missing";
    case PictureLoad::NotAPicture: return " not-a-picture";
    }
    return "";
}

std::string resultText(const FileResult& result) {
    switch (result.status) {
    case FileResult::Done: return "";
    case FileResult::AlreadyExists: return " exists";
    case FileResult::ThroughLink: return " through-link";
    case FileResult::Failed: return " failed " + quoted(result.error);
    }
    return "";
}

}  // namespace

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    return out + "\"";
}

std::string pointsText(double points) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, points);
    return std::string(buffer, result.ptr);
}

long long TraceLog::milliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock_.now()).count();
}

void TraceLog::write(const std::string& op, const std::string& args) {
    if (beforeWrite) beforeWrite();
    writeAt(milliseconds(), op, args);
}

void TraceLog::writeAt(long long ms, const std::string& op, const std::string& args) {
    std::fprintf(out_, "t=%lld %s%s%s\n", ms, op.c_str(), args.empty() ? "" : " ", args.c_str());
    std::fflush(out_);
}

void TracingWindow::show(ElementId id) {
    log_.write("show", elementName(id));
    inner_.show(id);
}

void TracingWindow::hide(ElementId id) {
    log_.write("hide", elementName(id));
    inner_.hide(id);
}

PictureLoad TracingWindow::setPicture(ElementId id, const std::string& dataPath) {
    const PictureLoad result = inner_.setPicture(id, dataPath);
    log_.write("picture", elementName(id) + " " + dataPath + loadText(result));
    return result;
}

void TracingWindow::setCaption(ElementId id, const std::string& text) {
    log_.write("caption", elementName(id) + " " + quoted(text));
    inner_.setCaption(id, text);
}

void TracingWindow::setFontName(ElementId id, const std::string& name) {
    log_.write("font", elementName(id) + " name=" + quoted(name));
    inner_.setFontName(id, name);
}

void TracingWindow::setFontSize(ElementId id, double points) {
    log_.write("font", elementName(id) + " size=" + pointsText(points));
    inner_.setFontSize(id, points);
}

void TracingWindow::setEnabled(ElementId id, bool enabled) {
    log_.write("enable", elementName(id) + (enabled ? " 1" : " 0"));
    inner_.setEnabled(id, enabled);
}

void TracingWindow::processEvents() {
    log_.write("pump", "");
    inner_.processEvents();
}

void TracingWindow::sleepUntil(Instant deadline, std::optional<ElementId> heard) {
    const auto pause = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - inner_.now()).count();
    log_.write("sleep", std::to_string(pause > 0 ? pause : 0));
    inner_.sleepUntil(deadline, heard);
}

void TracingWindow::showMessage(const std::string& text) {
    log_.write("message", quoted(text));
    inner_.showMessage(text);
}

void TracingWindow::endProgram(int status) {
    log_.write("exit", std::to_string(status));
    inner_.endProgram(status);
}

FileResult TracingFileSystem::createFolder(const std::string& dataDir) {
    const FileResult result = inner_.createFolder(dataDir);
    log_.write("mkdir", quoted(dataDir) + resultText(result));
    return result;
}

FileResult TracingFileSystem::createFile(const std::string& dataDir, const std::string& name) {
    const FileResult result = inner_.createFile(dataDir, name);
    log_.write("create", quoted(dataDir) + " " + quoted(name) + resultText(result));
    return result;
}

FileResult TracingFileSystem::rename(const std::string& dataDir, const std::string& from, const std::string& to) {
    const FileResult result = inner_.rename(dataDir, from, to);
    log_.write("rename", quoted(dataDir) + " " + quoted(from) + " " + quoted(to) + resultText(result));
    return result;
}

FileResult TracingFileSystem::writeFile(const std::string& dataPath, const std::string& bytes) {
    const FileResult result = inner_.writeFile(dataPath, bytes);
    log_.write("write", quoted(dataPath) + " " + std::to_string(bytes.size()) + resultText(result));
    return result;
}

FileResult TracingFileSystem::writeNewFile(const std::string& dataPath, const std::string& bytes) {
    const FileResult result = inner_.writeNewFile(dataPath, bytes);
    // Traced as any whole file written; a name taken says so in its result.
    log_.write("write", quoted(dataPath) + " " + std::to_string(bytes.size()) + resultText(result));
    return result;
}

void TracingWindow::setChoices(ElementId id, const std::vector<std::string>& items, int chosen) {
    log_.write("choices", elementName(id) + " " + std::to_string(items.size()) + " " + std::to_string(chosen));
    inner_.setChoices(id, items, chosen);
}

void TracingWindow::setChart(ElementId id, const ChartData& chart) {
    std::size_t points = 0;
    for (const ChartLine& line : chart.lines) points += line.points.size();
    log_.write("chart", elementName(id) + " " + chart.key + " " + std::to_string(chart.lines.size()) + " " +
                            std::to_string(points));
    inner_.setChart(id, chart);
}

void TracingWindow::setTuneChart(ElementId id, const TuneChartData& chart) {
    std::string points;
    for (const TunePoint& p : chart.points) points += " " + p.name + "=" + std::to_string(std::lround(p.cents));
    log_.write("tune", elementName(id) + " " + std::to_string(chart.points.size()) + points);
    inner_.setTuneChart(id, chart);
}

void TracingWindow::setTable(ElementId id, const TableData& table) {
    log_.write("table", elementName(id) + " " + std::to_string(table.rows.size()));
    inner_.setTable(id, table);
}

}  // namespace tarvel
