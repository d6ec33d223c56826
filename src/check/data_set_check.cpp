#include "check/data_set_check.h"

#include <algorithm>
#include <map>
#include <set>

#include "app/choices.h"
#include "app/slip_score.h"
#include "data/data_paths.h"
#include "data/file_system.h"
#include "keys/key_table.h"
#include "run/note_mapping.h"
#include "ui/page_pictures.h"
#include "ui/picture_limits.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

const SizeLimit kCancelSize = pictureLimit(el::Cancel_img);
const SizeLimit kStaffSize = pictureLimit(el::Gosen_img1);
const SizeLimit kKeySignatureSize = pictureLimit(el::Choshi(0));
const SizeLimit kNoteSize = pictureLimit(el::onp_img(0));
const SizeLimit kFingerSize = pictureLimit(el::Uns_img(0));
const SizeLimit kBigFingerSize = pictureLimit(el::Big_finger(0));
const SizeLimit kNowMarkSize = pictureLimit(el::Now_mark(0));
const SizeLimit kScoreSize = pictureLimit(el::P5_Note(0));
const SizeLimit kSlipMarkSize = pictureLimit(el::P5_Mark(0));

class Checker {
public:
    Checker(fs::path root, const PictureProbe& probe) : root_(std::move(root)), files_(root_), probe_(probe) {}

    std::vector<Problem> run() {
        checkPagePictures();
        checkPicture(std::string(kStaffPicture), kStaffSize, {}, 0);
        checkPicture(std::string(kCancelPicture), kCancelSize, {}, 0);
        checkHelpAndScorePictures();
        for (const SystemChoice& system : kSystemChoices) checkSystem(system);
        return problems_;
    }

private:
    static std::string shown(const std::string& dataPath) { return nativePath(dataPath).generic_string(); }

    void report(const std::string& dataPath, int line, std::string what) {
        problems_.push_back(Problem{shown(dataPath), line, std::move(what)});
    }

    // Checks a picture once; a problem is told where it is first needed.
    void checkPicture(const std::string& picture, SizeLimit limit, const std::string& neededBy, int line) {
        if (!checked_.insert(picture).second) return;
        const PictureInfo info = probe_(root_ / nativePath(picture));
        const std::string where = neededBy.empty() ? picture : neededBy;
        const int at = neededBy.empty() ? 0 : line;
        const std::string name = neededBy.empty() ? "" : "picture " + shown(picture) + " ";
        if (info.status == PictureInfo::Missing) return report(where, at, name + "is missing");
        if (info.status == PictureInfo::Unreadable) return report(where, at, name + "is not a readable picture");
        const bool fits = limit.exact ? info.width == limit.width && info.height == limit.height
                                      : info.width <= limit.width && info.height <= limit.height;
        if (!fits)
            return report(where, at,
                          name + "is " + std::to_string(info.width) + " x " + std::to_string(info.height) + " px, " +
                              (limit.exact ? "must be " : "at most ") + std::to_string(limit.width) + " x " +
                              std::to_string(limit.height));
        checkTwin(picture, info, neededBy, line);
    }

    // The picture drawn at twice its size, which a window larger than the
    // layout shows instead (it falls back to the picture enlarged).
    void checkTwin(const std::string& picture, const PictureInfo& of, const std::string& neededBy, int line) {
        const std::string twin = twinPicture(picture);
        const PictureInfo info = probe_(root_ / nativePath(twin));
        const std::string where = neededBy.empty() ? twin : neededBy;
        const int at = neededBy.empty() ? 0 : line;
        const std::string name = neededBy.empty() ? "" : "picture " + shown(twin) + " ";
        const std::string fallback = " (a large window shows " + shown(picture) + " enlarged instead)";
        if (info.status == PictureInfo::Missing) return report(where, at, name + "is missing" + fallback);
        if (info.status == PictureInfo::Unreadable)
            return report(where, at, name + "is not a readable picture" + fallback);
        const int width = kTwinScale * of.width;
        const int height = kTwinScale * of.height;
        if (info.width != width || info.height != height)
            report(where, at,
                   name + "is " + std::to_string(info.width) + " x " + std::to_string(info.height) + " px, must be " +
                       std::to_string(width) + " x " + std::to_string(height) + " (twice " + shown(picture) + ")" +
                       fallback);
    }

    // The help page's legends and their buttons, page 5's small staff.
    void checkHelpAndScorePictures() {
        for (const SystemChoice& system : kSystemChoices) {
            checkPicture(std::string(system.legend), pictureLimit(el::Help_legend), {}, 0);
            checkPicture(std::string(system.legendButton), pictureLimit(el::Help_BtnS), {}, 0);
        }
        for (int r = 0; r < 2; ++r) checkPicture(miniStaffPicture(r), pictureLimit(el::P5_Staff(r)), {}, 0);
        checkPicture(std::string(kExtraNotePicture), kScoreSize, {}, 0);
        checkPicture(std::string(kSlipLegendPicture), pictureLimit(el::P5_Legend), {}, 0);
    }

    void checkPagePictures() {
        for (const auto* table : {&pagePictureTable(), &aboutPictureTable()})
            for (const PagePicture& row : *table) checkPicture(std::string(row.file), pictureLimit(row.element), {}, 0);
    }

    void checkSystem(const SystemChoice& system) {
        const std::string chartPath(system.chart);
        const TextFile chart = files_.readText(chartPath);
        if (!chart.ok)
            report(chartPath, 0, "cannot be read (" + chart.error + ")");
        else if (chart.lines.size() > static_cast<std::size_t>(kChartLines))
            report(chartPath, kChartLines + 1, "lines beyond the 501st are never read");
        for (const PairingChoice& pairing : kPairingChoices)
            for (const KeyEntry& key : Key_tbl) {
                checkExercise(system.setting, pairing.setting, key.code, chartPath, chart);
                checkRecord(system.setting, pairing.setting, key.code);
            }
    }

    void checkExercise(std::string_view system, std::string_view pairing, std::string_view key,
                       const std::string& chartPath, const TextFile& chart) {
        const std::string path = exercisePath(system, pairing, key);
        const TextFile file = files_.readText(path);
        if (!file.ok) return report(path, 0, "cannot be read (" + file.error + ")");
        const ExerciseParse parsed = parseExerciseFile(file.lines);
        if (const auto* error = std::get_if<ExerciseError>(&parsed))
            return report(path, error->line, describeForChecker(*error));
        const ExerciseFile& exercise = std::get<ExerciseFile>(parsed);
        if (const auto error = checkRowCount(exercise)) return report(path, error->line, describeForChecker(*error));
        // The check box of the key page changes which signs are drawn.
        for (const bool showKeyInNotes : {false, true}) {
            const KeySignature signature = keySignature(exercise.sign, exercise.count, showKeyInNotes);
            const auto mapped = mapNotes(exercise, pairingOffset(pairing), signature);
            if (const auto* error = std::get_if<ExerciseError>(&mapped))
                return report(path, error->line, describeForChecker(*error));
            const MappedNotes& notes = std::get<MappedNotes>(mapped);
            checkPicture(keySignaturePicture(signature), kKeySignatureSize, path, 1);
            checkPicture(miniKeySignaturePicture(signature), pictureLimit(el::P5_Choshi), path, 1);
            for (std::size_t n = 0; n < exercise.notes.size(); ++n) {
                const int line = exercise.notes[n].line;
                checkPicture(notePicture(notes.Onp_pic[n]), kNoteSize, path, line);
                // The run's mark on the note, page 5's small note and its two slip marks.
                checkPicture(nowMarkPicture(notes.Onp_pic[n]), kNowMarkSize, path, line);
                checkPicture(miniNotePicture(notes.Onp_pic[n]), kScoreSize, path, line);
                for (const Mark mark : {Mark::Wrong, Mark::Silent})
                    checkPicture(slipMarkPicture(mark, notes.Onp_pic[n]), kSlipMarkSize, path, line);
                if (showKeyInNotes) continue;  // the fingering does not depend on the check box
                checkFingering(system, chartPath, chart, notes.Unshi_no[n], path, line);
            }
        }
    }

    void checkFingering(std::string_view system, const std::string& chartPath, const TextFile& chart, int chartLine,
                        const std::string& path, int line) {
        if (!chart.ok) return;
        const std::string chartLineName = "line " + std::to_string(chartLine + 1) + " of " + shown(chartPath) +
                                          " (block " + std::to_string(chartLine / 10) + ", variant " +
                                          std::to_string(chartLine % 10) + ")";
        const bool firstTime = missingLines_.insert({std::string(system), chartLine}).second;
        if (chartLine >= static_cast<int>(chart.lines.size())) {
            if (firstTime) report(path, line, chartLineName + " is missing");
            return;
        }
        const std::string& fingering = chart.lines[static_cast<std::size_t>(chartLine)];
        if (fingering.empty() && firstTime) report(path, line, chartLineName + " is empty");
        for (const FingerPosition& finger : kFingerPositions) {
            const std::string code = fingerCode(fingering, finger);
            checkPicture(fingerPicture(system, finger.prefix, code), kFingerSize, path, line);
            checkPicture(bigFingerPicture(system, finger.prefix, code), kBigFingerSize, path, line);
        }
    }

    void checkRecord(std::string_view system, std::string_view pairing, std::string_view key) {
        const std::string dir = Result_dir(system, pairing, key);
        if (files_.reachedThroughLink(dir))
            return report(dir, 0, "result folder is, or lies under, a symbolic link: Tarvel records nothing there");
        const auto records = ordinaryFilesRecordFirst(files_.resolve(dir));
        if (!records) return report(dir, 0, "result folder is missing");
        if (records->size() == 1) return;
        std::string what = "result folder holds " + std::to_string(records->size()) + " record files, not one";
        for (std::size_t i = 0; i < records->size(); ++i)
            what += (i == 0 ? ": '" : ", '") + (*records)[i] + (i == 0 ? "' (the record)" : "'");
        report(dir, 0, what);
    }

    fs::path root_;
    LocalFileSystem files_;
    const PictureProbe& probe_;
    std::vector<Problem> problems_;
    std::set<std::string> checked_;
    std::set<std::pair<std::string, int>> missingLines_;
};

}  // namespace

std::vector<Problem> checkDataSet(const fs::path& root, const PictureProbe& probe) {
    return Checker(root, probe).run();
}

std::string formatProblem(const Problem& problem) {
    if (problem.line > 0) return problem.file + ":" + std::to_string(problem.line) + ": " + problem.what;
    return problem.file + ": " + problem.what;
}

}  // namespace tarvel
