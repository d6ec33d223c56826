// The result record: one file per system, pairing and key, whose name is the
// date and grade of the key's last graded run.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "data/file_system.h"
#include "ui/window.h"

namespace tarvel {

// Whether a folder, given relative to the data set's folder, is one of the
// result folders ("system/onkai/Boe/BB/S01"), whose files are players' records.
bool isResultFolder(const std::filesystem::path& relativeFolder);

// The first ordinary file name in the key's result folder, or empty text.
std::string Read_result(FileSystem& files, std::string_view system, std::string_view pairing, std::string_view key);

// The short date as the Japanese calendar writes it, "2010/08/28".
std::string shortDateText(const CalendarDate& date);
// The record name: the date text with every "/" replaced by ".", a space, the grade.
std::string recordName(std::string dateText, std::string_view grade);

struct RecordOutcome {
    enum Kind {
        Renamed,           // the folder's file now bears the new name
        Unchanged,         // it bore that name already
        Created,           // the folder or its file was missing; a record was made
        NameTaken,         // another file bears the new name; nothing was changed
        NotARecordFolder,  // the folder is reached through a symbolic link; nothing was changed
        Failed,            // the file system refused; nothing was changed
    } kind = Renamed;
    std::string oldName;
    std::string detail;
};

// Gives the folder's record the name `name`. Never replaces or removes a file,
// never writes through a symbolic link, and holds the folder locked meanwhile,
// so that two programs grading the same key leave one record.
RecordOutcome writeRecord(FileSystem& files, const std::string& resultDir, const std::string& name);

}  // namespace tarvel
