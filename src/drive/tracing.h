// Decorators that print every window and file operation as it happens,
// one a line: "t=MS OP ARGS".
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "data/file_system.h"
#include "ui/window.h"

namespace tarvel {

// A text in double quotes, with backslash, quote, CR and LF escaped.
std::string quoted(const std::string& text);
// A number of points as it was written: "32", "10.2".
std::string pointsText(double points);

class TraceLog {
public:
    TraceLog(std::FILE* out, Window& clockSource) : out_(out), clock_(clockSource) {}
    void write(const std::string& op, const std::string& args);
    // A line for something that happened at `ms`, written now.
    void writeAt(long long ms, const std::string& op, const std::string& args);
    long long milliseconds();
    // Runs before every line: lets what happened meanwhile (a click that
    // sounded) be written first, in time order.
    std::function<void()> beforeWrite;

private:
    std::FILE* out_;
    Window& clock_;
};

class TracingWindow : public Window {
public:
    TracingWindow(Window& inner, TraceLog& log) : inner_(inner), log_(log) {}

    void show(ElementId id) override;
    void hide(ElementId id) override;
    PictureLoad setPicture(ElementId id, const std::string& dataPath) override;
    void setCaption(ElementId id, const std::string& text) override;
    void setFontName(ElementId id, const std::string& name) override;
    void setFontSize(ElementId id, double points) override;
    bool isChecked(ElementId id) override { return inner_.isChecked(id); }
    void setEnabled(ElementId id, bool enabled) override;
    void setChoices(ElementId id, const std::vector<std::string>& items, int chosen) override;
    int chosenIndex(ElementId id) override { return inner_.chosenIndex(id); }
    void setChart(ElementId id, const ChartData& chart) override;
    void setTable(ElementId id, const TableData& table) override;
    void setTuneChart(ElementId id, const TuneChartData& chart) override;
    void processEvents() override;
    void sleepUntil(Instant deadline, std::optional<ElementId> heard) override;
    Instant now() override { return inner_.now(); }
    CalendarDate today() override { return inner_.today(); }
    TimeOfDay timeOfDay() override { return inner_.timeOfDay(); }
    void showMessage(const std::string& text) override;
    void endProgram(int status) override;

private:
    Window& inner_;
    TraceLog& log_;
};

class TracingFileSystem : public FileSystem {
public:
    TracingFileSystem(FileSystem& inner, TraceLog& log) : inner_(inner), log_(log) {}

    TextFile readText(const std::string& dataPath) override { return inner_.readText(dataPath); }
    std::vector<std::string> recordFiles(const std::string& dataDir) override { return inner_.recordFiles(dataDir); }
    bool reachedThroughLink(const std::string& dataDir) override { return inner_.reachedThroughLink(dataDir); }
    std::unique_ptr<FolderLock> lockFolder(const std::string& dataDir) override { return inner_.lockFolder(dataDir); }
    std::string fullPath(const std::string& dataPath) override { return inner_.fullPath(dataPath); }
    bool folderExists(const std::string& dataDir) override { return inner_.folderExists(dataDir); }
    bool exists(const std::string& dataPath) override { return inner_.exists(dataPath); }
    FileResult createFolder(const std::string& dataDir) override;
    FileResult createFile(const std::string& dataDir, const std::string& name) override;
    FileResult rename(const std::string& dataDir, const std::string& from, const std::string& to) override;
    FileResult writeFile(const std::string& dataPath, const std::string& bytes) override;
    FileResult writeNewFile(const std::string& dataPath, const std::string& bytes) override;
    std::string location(const std::string& dataPath) override { return inner_.location(dataPath); }

private:
    FileSystem& inner_;
    TraceLog& log_;
};

}  // namespace tarvel
