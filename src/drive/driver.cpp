#include "drive/driver.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QKeySequence>
#include <QLineSeries>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <thread>

#include "audio/wav_file_input.h"
#include "data/written_note.h"
#include "grade/grading.h"
#include "keys/key_table.h"
#include "qt/qt_audio_output.h"
#include "qt/wiring.h"

namespace tarvel {
namespace {

constexpr auto kRealTimeStep = std::chrono::milliseconds(2);
constexpr auto kKeyGap = std::chrono::milliseconds(2);

std::unique_ptr<Clock> makeClock(bool realTime, VirtualClock*& virtualClock) {
    if (realTime) return std::make_unique<SteadyClock>();
    auto clock = std::make_unique<VirtualClock>();
    virtualClock = clock.get();
    return clock;
}

// Qt's name of a key ("1", "Escape", "Return", "Left"), as its key code; 0 for
// a name Qt does not know.
int qtKeyNamed(const std::string& name) {
    if (name.empty()) return 0;
    const QKeySequence sequence = QKeySequence::fromString(QString::fromStdString(name), QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].keyboardModifiers() != Qt::NoModifier) return 0;
    const int key = sequence[0].key();
    return key == Qt::Key_unknown ? 0 : key;
}

bool parseMilliseconds(const std::string& text, long long& ms) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), ms);
    return ec == std::errc{} && end == text.data() + text.size() && ms >= 0;
}

}  // namespace

Driver::Driver(const DriverOptions& options) : options_(options) {
    window_ = std::make_unique<QtWindow>(std::filesystem::path{}, makeClock(options.realTime, virtualClock_));
    if (options.today) window_->setToday(*options.today);
    window_->onMessage = [this](const std::string& text) {
        if (!options_.trace) std::cout << "message " << quoted(text) << std::endl;
    };
    window_->onPump = [this] { deliverDue(); };
    window_->onSleep = [this](Instant deadline) { sleepUntil(deadline); };
    Window* window = window_.get();
    FileSystem* files = &files_;
    if (options.trace) {
        log_ = std::make_unique<TraceLog>(stdout, *window_);
        tracingWindow_ = std::make_unique<TracingWindow>(*window_, *log_);
        tracingFiles_ = std::make_unique<TracingFileSystem>(files_, *log_);
        window = tracingWindow_.get();
        files = tracingFiles_.get();
    }
    program_ = std::make_unique<Program>(*window, *files);
    desktop_ = std::make_unique<ScriptedDesktop>([this](const std::string& line) {
        if (log_)
            log_->write(line.substr(0, line.find(' ')), line.substr(line.find(' ') + 1));
        else
            std::cout << line << std::endl;
    });
    program_->setDesktop(*desktop_);
    if (options.listen.empty())
        input_ = std::make_unique<NoAudioInput>();
    else
        input_ = std::make_unique<WavFileInput>(options.listen);
    program_->setAudioInput(*input_);
    if (options.trace)
        program_->onJudged = [this](const Judgement& judgement) {
            const auto& extras = judgement.extraBefore;
            for (std::size_t n = 0; n <= judgement.marks.size(); ++n) {
                if (std::find(extras.begin(), extras.end(), static_cast<int>(n)) != extras.end())
                    log_->write("heard", "extra");
                if (n < judgement.marks.size())
                    log_->write("heard", std::to_string(n) + " " + static_cast<char>(judgement.marks[n]));
            }
        };
    program_->setHistory(history_);
    audio_ = std::make_unique<RecordedAudio>(*window_, window_->now());
    if (options.sound) {
        device_ = std::make_unique<QtAudioOutput>();
        audio_->alsoPlayOn(device_.get());
    }
    program_->setAudioOutput(*audio_);
    if (log_) log_->beforeWrite = [this] { reportClicks(); };
    connectWindow(*window_, *program_);
}

Driver::~Driver() = default;

int Driver::run(std::istream& script, const std::string& scriptName) {
    if (const auto* wav = dynamic_cast<const WavFileInput*>(input_.get()); wav && !wav->ok()) {
        std::cerr << "tarvel-drive: --listen: " << wav->error() << "\n";
        return 2;
    } else if (wav && wav->fileRate() != WavFileInput::kRate) {
        std::cerr << "tarvel-drive: --listen: " << options_.listen << " は " << wav->fileRate()
                  << " Hz の録音なので、マイクと同じ " << WavFileInput::kRate << " Hz に変換して聞きます\n";
    }
    if (!startProgram(*window_, *program_)) return finish(window_->exitStatus());
    if (!QTest::qWaitForWindowExposed(window_->form())) {
        std::cerr << "tarvel-drive: the window could not be shown\n";
        return 2;
    }
    std::string line;
    int lineNumber = 0;
    while (!window_->ended() && std::getline(script, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!execute(line)) {
            std::cerr << scriptName << ":" << lineNumber << ": cannot understand \"" << line << "\"\n";
            return finish(2);
        }
    }
    return finish(window_->ended() ? window_->exitStatus() : 0);
}

void Driver::reportClicks() {
    if (!log_) return;
    for (const RecordedAudio::Click& c : audio_->takeSounded())
        log_->writeAt(std::chrono::duration_cast<std::chrono::milliseconds>(c.at).count(), "click", clickName(c.kind));
}

int Driver::finish(int status) {
    reportClicks();
    if (options_.audioOut.empty()) return status;
    std::string error;
    if (!audio_->writeWav(options_.audioOut, window_->now(), error)) {
        std::cerr << "tarvel-drive: cannot write " << options_.audioOut << ": " << error << "\n";
        return status == 0 ? 2 : status;
    }
    return status;
}

bool Driver::execute(const std::string& line) {
    std::istringstream in(line);
    std::string command;
    if (!(in >> command) || command[0] == '#') return true;
    std::string argument, rest;
    in >> argument;
    std::getline(in >> std::ws, rest);

    if (command == "click" && rest.empty()) {
        const auto id = findElement(argument);
        if (!id) return false;
        click(*id);
        return true;
    }
    if (command == "key" && rest.empty()) {
        const int key = qtKeyNamed(argument);
        if (key == 0) return false;
        pressKey(key);
        return true;
    }
    if (command == "close" && argument.empty()) {
        requestClose();
        return true;
    }
    long long ms = 0;
    if (command == "wait" && rest.empty() && parseMilliseconds(argument, ms)) {
        wait(ms);
        return true;
    }
    if (command == "after" && parseMilliseconds(argument, ms)) {
        std::istringstream event(rest);
        std::string what, name, extra, more;
        event >> what >> name >> extra >> more;
        if (!more.empty() || (!extra.empty() && what != "click-at")) return false;
        if (what == "close" && name.empty()) {
            schedule(ms, Scheduled{Scheduled::Close, {}, 0, {}});
            return true;
        }
        if (what == "shot" && !name.empty()) {
            schedule(ms, Scheduled{Scheduled::Shot, {}, 0, name});
            return true;
        }
        if (what == "click-at") {
            long long x = 0, y = 0;
            if (!parseMilliseconds(name, x) || !parseMilliseconds(extra, y)) return false;
            schedule(ms, Scheduled{Scheduled::ClickAt, {}, 0, {}, 0, static_cast<int>(x), static_cast<int>(y)});
            return true;
        }
        if (what == "key") {
            const int key = qtKeyNamed(name);
            if (key == 0) return false;
            schedule(ms, Scheduled{Scheduled::Key, {}, 0, {}, key});
            return true;
        }
        const auto id = what == "click" ? findElement(name) : std::nullopt;
        if (!id) return false;
        schedule(ms, Scheduled{Scheduled::Click, {}, *id, {}});
        return true;
    }
    if (command == "today" && rest.empty()) {
        CalendarDate date;
        if (std::sscanf(argument.c_str(), "%4d-%2d-%2d", &date.year, &date.month, &date.day) != 3 || date.month < 1 ||
            date.month > 12 || date.day < 1 || date.day > 31)
            return false;
        window_->setToday(date);
        return true;
    }
    int index = 0;
    if (command == "choose" && !rest.empty()) {
        const auto id = findElement(argument);
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), index);
        if (!id || ec != std::errc{} || end != rest.data() + rest.size()) return false;
        window_->choose(*id, index);
        return true;
    }
    if (command == "save-as" && !argument.empty()) {
        desktop_->nextAnswer = rest.empty() ? argument : argument + " " + rest;
        desktop_->cancelNext = false;
        return true;
    }
    if (command == "confirm" && (argument == "yes" || argument == "no") && rest.empty()) {
        desktop_->agreeNext = argument == "yes";
        return true;
    }
    if (command == "save-cancel" && argument.empty()) {
        desktop_->cancelNext = true;
        return true;
    }
    if (command == "resize" && !rest.empty()) {
        long long width = 0, height = 0;
        if (!parseMilliseconds(argument, width) || !parseMilliseconds(rest, height) || width < 1 || height < 1)
            return false;
        window_->form()->resize(static_cast<int>(width), static_cast<int>(height));
        QCoreApplication::processEvents();
        return true;
    }
    if (command == "dump" && argument.empty()) {
        dump();
        return true;
    }
    if (command == "shot" && !argument.empty() && rest.empty()) {
        shot(argument);
        return true;
    }
    return false;
}

std::optional<std::string> ScriptedDesktop::chooseSavePath(const std::string& /*title*/,
                                                           const std::string& proposedPath) {
    if (std::exchange(cancelNext, false)) return std::nullopt;
    if (nextAnswer) return *std::exchange(nextAnswer, std::nullopt);
    return proposedPath;
}

bool ScriptedDesktop::openFolder(const std::string& path) {
    print_("open-folder " + quoted(path));
    return true;
}

bool ScriptedDesktop::confirm(const std::string& /*title*/, const std::string& question) {
    const bool agreed = std::exchange(agreeNext, false);
    print_("confirm " + quoted(question) + (agreed ? " yes" : " no"));
    return agreed;
}

void Driver::schedule(long long ms, Scheduled event) {
    event.due = window_->now() + std::chrono::milliseconds(ms);
    const auto at = std::upper_bound(scheduled_.begin(), scheduled_.end(), event.due,
                                     [](Instant due, const Scheduled& s) { return due < s.due; });
    scheduled_.insert(at, event);
}

void Driver::deliverDue() {
    // A click delivered here may start a run whose pumps and sleeps deliver
    // the events due meanwhile, as a real window would.
    while (!scheduled_.empty() && scheduled_.front().due <= window_->now() && !window_->ended()) {
        const Scheduled event = scheduled_.front();
        scheduled_.pop_front();
        switch (event.what) {
        case Scheduled::Click: click(event.element); break;
        case Scheduled::ClickAt: clickAt(event.x, event.y); break;
        case Scheduled::Close: requestClose(); break;
        case Scheduled::Shot: shot(event.file); break;
        case Scheduled::Key: pressKey(event.key); break;
        }
    }
}

void Driver::sleepUntil(Instant deadline) {
    // A sleep of the program: the events due before its deadline are
    // delivered at their time; the window lets only a close or a click on
    // the cancel picture through, and either ends the sleep.
    auto over = [this] { return window_->ended() || window_->sleepWoken(); };
    auto waitUntil = [this](Instant t) {
        if (virtualClock_)
            virtualClock_->sleepUntil(t);
        else
            window_->waitForInput(t);
    };
    while (!over() && !scheduled_.empty() && scheduled_.front().due <= deadline) {
        waitUntil(scheduled_.front().due);
        if (over()) return;
        deliverDue();
    }
    if (!over()) waitUntil(deadline);
}

void Driver::clickAt(int x, int y) {
    QTest::mouseClick(window_->form()->windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
}

void Driver::click(ElementId id) {
    QWidget* widget = window_->elementWidget(id);
    QWidget* form = window_->form();
    const QRect visible = widget->geometry().intersected(form->rect());
    if (widget->isHidden() || visible.isEmpty()) return;  // nothing to click, as for a person
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, visible.center());
}

void Driver::pressKey(int qtKey) {
    // Key events carry the window system's time in whole milliseconds, and a
    // release and a press of one key at the same time are a held key's repeat:
    // no hand presses a key again within the millisecond it let go of it.
    std::this_thread::sleep_for(kKeyGap);
    // Through the window system, as a keyboard's press and release arrive.
    QTest::keyClick(window_->form()->windowHandle(), static_cast<Qt::Key>(qtKey));
}

void Driver::requestClose() {
    // What a window manager's close box sends.
    QCloseEvent event;
    QCoreApplication::sendEvent(window_->form()->windowHandle(), &event);
}

void Driver::wait(long long ms) {
    const Instant until = window_->now() + std::chrono::milliseconds(ms);
    if (virtualClock_) {
        while (!window_->ended() && !scheduled_.empty() && scheduled_.front().due <= until) {
            virtualClock_->sleepUntil(scheduled_.front().due);
            QCoreApplication::processEvents();
            deliverDue();
        }
        virtualClock_->sleepUntil(until);
        QCoreApplication::processEvents();
        return;
    }
    while (!window_->ended() && window_->now() < until) {
        QCoreApplication::processEvents();
        deliverDue();
        std::this_thread::sleep_for(kRealTimeStep);
    }
}

void Driver::dump() {
    QCoreApplication::processEvents();
    for (const ElementId id : stackingOrderFromTop()) {
        if (!window_->isShown(id)) continue;
        const ElementSpec& layout = element(id);
        const std::string name = elementName(id);
        switch (layout.kind) {
        case ElementKind::Picture:
            if (window_->hasPicture(id))
                std::cout << name << " picture=" << window_->picturePath(id) << "\n";
            else if (layout.takesClicksWhenEmpty)
                std::cout << name << "\n";
            break;
        case ElementKind::Label:
            std::cout << name << " font=" << quoted(window_->fontName(id))
                      << " size=" << pointsText(window_->fontSize(id)) << " caption=" << quoted(window_->caption(id))
                      << "\n";
            break;
        case ElementKind::CheckBox:
            std::cout << name << " checked=" << (window_->isChecked(id) ? 1 : 0)
                      << (window_->isEnabled(id) ? "" : " enabled=0") << "\n";
            break;
        case ElementKind::Choice:
        case ElementKind::Chart:
        case ElementKind::Table: dumpProgress(id); break;
        case ElementKind::Frame: std::cout << name << "\n"; break;
        }
    }
    std::cout << stateLine() << "\n";
    if (program_->heardRun()) std::cout << listenLine() << "\n";
    if (program_->page() == Page::Weak) {
        for (const WeakNote& w : program_->weakShown())
            std::cout << "Weak note=" << writtenNoteName(w.written) << " rate=" << pointsText(w.missRate)
                      << " heard=" << w.heard << " missed=" << w.missed << " last=" << quoted(w.lastMissedAt) << "\n";
        for (const Tendency& t : program_->tendenciesShown())
            std::cout << "Tune note=" << writtenNoteName(t.written) << " cents=" << std::lround(t.cents)
                      << " count=" << t.count << "\n";
    }
    if (program_->page() == Page::Key)
        for (const int k : program_->dueKeys())
            std::cout << "Due key=" << Key_tbl[static_cast<std::size_t>(k)].code << "\n";
    if (!program_->state().drillExercise.empty()) {
        std::string targets;
        for (const std::int16_t w : program_->drillTargets())
            targets += (targets.empty() ? "" : ",") + writtenNoteName(w);
        std::cout << "Drill notes=" << program_->drillNotes() << " targets=" << targets
                  << " file=" << program_->state().drillExercise << "\n";
    }
    std::cout << std::flush;
}

std::string Driver::listenLine() {
    const Judgement& j = *program_->heardRun();
    const auto proposed = proposedAnswer(j);
    return "Listen heard=" + std::to_string(j.heard ? 1 : 0) + " slips=" + std::to_string(j.slips) +
           " proposed=" + (proposed ? std::string(*proposed) : std::string("-")) +
           " lag_ms=" + std::to_string(j.lagMs) + " marks=" + j.markText() +
           " extra=" + std::to_string(j.extraBefore.size()) + " room=" + (j.noisy ? "noisy" : "ok") +
           " a4=" + std::to_string(static_cast<int>(std::lround(j.a4Hz)));
}

// What the progress page's chart, table and key choice show, read back from their widgets.
void Driver::dumpProgress(ElementId id) {
    QWidget* widget = window_->elementWidget(id);
    const std::string name = elementName(id);
    if (auto* choice = qobject_cast<QComboBox*>(widget)) {
        std::cout << name << " chosen=" << choice->currentIndex()
                  << " caption=" << quoted(choice->currentText().toStdString()) << " items=" << choice->count() << "\n";
    } else if (auto* view = qobject_cast<QChartView*>(widget)) {
        const QChart* chart = view->chart();
        const std::string key = chart->property("key").toString().toStdString();
        std::cout << name << " key=" << key << " title=" << quoted(chart->title().toStdString())
                  << " series=" << chart->series().size() << "\n";
        for (QAbstractSeries* series : chart->series()) {
            const auto* line = qobject_cast<QLineSeries*>(series);
            if (!line || !line->property("tempo").isValid()) continue;  // the tuning chart's guide lines
            const std::string tempo = line->property("tempo").toString().toStdString();
            for (const QPointF& point : line->points()) {
                const QDateTime at = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(point.x()));
                std::cout << "Point key=" << key << " tempo=" << tempo
                          << " date=" << at.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString()
                          << " grade=" << gradeText(qRound(point.y())) << "\n";
            }
        }
    } else if (auto* table = qobject_cast<QTableWidget*>(widget)) {
        std::cout << name << " rows=" << table->rowCount() << "\n";
        for (int r = 0; r < table->rowCount(); ++r) {
            std::cout << "Row";
            for (int c = 0; c < table->columnCount(); ++c) {
                const QTableWidgetItem* item = table->item(r, c);
                std::cout << " " << quoted(item ? item->text().toStdString() : std::string());
            }
            std::cout << "\n";
        }
    }
}

std::string Driver::stateLine() {
    const ProgramState& s = program_->state();
    std::string line = "state Settings=[";
    for (std::size_t i = 0; i < s.Settings.size(); ++i) line += (i ? "," : "") + quoted(s.Settings[i]);
    line += "] Play_cnt=" + std::to_string(s.Play_cnt) + " Onp_cnt=" + std::to_string(s.Onp_cnt) +
            " Cancel_flg=" + std::to_string(s.Cancel_flg) + " Choshi_tbl=";
    for (int k = 0; k <= 6; ++k) line += std::to_string(s.Choshi_tbl[k]);
    line += " t=" + std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(window_->now()).count());
    return line;
}

void Driver::shot(const std::string& file) {
    QCoreApplication::processEvents();
    if (!window_->form()->grab().save(QString::fromStdString(file)))
        std::cerr << "tarvel-drive: cannot save " << file << "\n";
}

}  // namespace tarvel
