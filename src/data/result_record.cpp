#include "data/result_record.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/choices.h"
#include "data/data_paths.h"
#include "keys/key_table.h"

namespace tarvel {

bool isResultFolder(const std::filesystem::path& relativeFolder) {
    std::vector<std::string> parts;
    for (const auto& part : relativeFolder.lexically_normal()) parts.push_back(part.string());
    if (!parts.empty() && parts.back().empty()) parts.pop_back();  // a trailing separator
    if (parts.size() != 5 || parts[0] != "system" || parts[1] != "onkai") return false;
    const bool system = std::any_of(kSystemChoices.begin(), kSystemChoices.end(),
                                    [&](const SystemChoice& c) { return c.setting == parts[2]; });
    const bool pairing = std::any_of(kPairingChoices.begin(), kPairingChoices.end(),
                                     [&](const PairingChoice& c) { return c.setting == parts[3]; });
    return system && pairing && keyIndex(parts[4]).has_value();
}

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
    switch (result.status) {
    case FileResult::AlreadyExists: return RecordOutcome::NameTaken;
    case FileResult::ThroughLink: return RecordOutcome::NotARecordFolder;
    default: return RecordOutcome::Failed;
    }
}

}  // namespace

RecordOutcome writeRecord(FileSystem& files, const std::string& resultDir, const std::string& name) {
    RecordOutcome outcome;
    if (files.reachedThroughLink(resultDir)) {
        outcome.kind = RecordOutcome::NotARecordFolder;
        return outcome;
    }
    std::unique_ptr<FolderLock> lock = files.lockFolder(resultDir);
    if (!lock) {
        // The data set lost this key's folder: the grade is the player's work, so make one.
        const FileResult made = files.createFolder(resultDir);
        if (made.status != FileResult::Done) {
            outcome.kind = failureKind(made);
            outcome.detail = made.error;
            return outcome;
        }
        lock = files.lockFolder(resultDir);
    }
    outcome.oldName = files.firstOrdinaryFile(resultDir);
    if (outcome.oldName == name) {
        outcome.kind = RecordOutcome::Unchanged;
        return outcome;
    }
    const FileResult written =
        outcome.oldName.empty() ? files.createFile(resultDir, name) : files.rename(resultDir, outcome.oldName, name);
    if (written.status == FileResult::Done) {
        outcome.kind = outcome.oldName.empty() ? RecordOutcome::Created : RecordOutcome::Renamed;
        return outcome;
    }
    outcome.kind = failureKind(written);
    outcome.detail = written.error;
    return outcome;
}

}  // namespace tarvel
