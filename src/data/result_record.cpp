#include "data/result_record.h"

#include <algorithm>
#include <cstdio>

#include "data/data_paths.h"

namespace tarvel {

std::string Read_result(FileSystem& files, std::string_view system, std::string_view pairing, std::string_view key) {
    return files.firstOrdinaryFile(Result_dir(system, pairing, key));
}

std::string shortDateText(const CalendarDate& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", date.year, date.month, date.day);
    return text;
}

std::string recordName(std::string dateText, std::string_view grade) {
    std::replace(dateText.begin(), dateText.end(), '/', '.');
    return dateText + " " + std::string(grade);
}

namespace {

RecordOutcome::Kind failureKind(const FileResult& result) {
    return result.status == FileResult::AlreadyExists ? RecordOutcome::NameTaken : RecordOutcome::Failed;
}

}  // namespace

RecordOutcome writeRecord(FileSystem& files, const std::string& resultDir, const std::string& name) {
    RecordOutcome outcome;
    outcome.oldName = files.firstOrdinaryFile(resultDir);
    if (outcome.oldName == name) {
        outcome.kind = RecordOutcome::Unchanged;
        return outcome;
    }
    if (outcome.oldName.empty()) {
        // The data set lost this key's record: the grade is the player's work, so make one.
        FileResult made = files.createFolder(resultDir);
        if (made.status == FileResult::Done) made = files.createFile(resultDir, name);
        outcome.kind = made.status == FileResult::Done ? RecordOutcome::Created : failureKind(made);
        outcome.detail = made.error;
        return outcome;
    }
    const FileResult renamed = files.rename(resultDir, outcome.oldName, name);
    outcome.kind = renamed.status == FileResult::Done ? RecordOutcome::Renamed : failureKind(renamed);
    outcome.detail = renamed.error;
    return outcome;
}

}  // namespace tarvel
