// Writes a complete data set: every picture, the result folders with their
// initial records, the fingering charts and exercises (when the content
// library is part of the build), and the program's icon for a desktop entry.
#pragma once

#include <QString>

#include <string_view>

namespace tarvel::dataset {

// The name of the record file of a key that was never played: the key page
// shows it under the key's button.
inline constexpr std::string_view kInitialRecordName = "まだ吹いてない";

struct BuildSummary {
    int filesWritten = 0;         // new or changed pictures and text files
    int filesUnchanged = 0;       // already held exactly these bytes
    int recordsCreated = 0;       // result folders that got their initial record
    int recordsKept = 0;          // result folders that already held a record
    bool contentWritten = false;  // the charts and exercises were written
};

// Builds the data set under `outDir` ("<outDir>/system/...", "<outDir>/tarvel.png").
// Files that already hold the right bytes are left alone; a result folder
// that holds an ordinary file is never touched. Throws BuildError.
BuildSummary buildDataSet(const QString& outDir);

}  // namespace tarvel::dataset
