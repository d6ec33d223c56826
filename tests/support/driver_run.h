// Runs tarvel-drive on a copy of the built data set, as a person would run it.
#pragma once

#include <string>
#include <vector>

#include "support/data_folder.h"

namespace tarvel::test {

struct DriverResult {
    int status = -1;
    std::vector<std::string> lines;  // standard output
    std::string errors;              // standard error
};

// A fresh copy of the data set the build made, in its own temporary folder.
class BuiltDataSet : public DataFolder {
public:
    BuiltDataSet();
};

// Runs the driver in `folder` with `options` (e.g. "--trace") on `script`.
// The locale variables are unset unless `keepLocale`.
DriverResult runDriver(const DataFolder& folder, const std::string& options, const std::string& script,
                       bool keepLocale = false);

// Runs tarvel-check on `folder`.
DriverResult runChecker(const DataFolder& folder);

// The lines that start with `prefix`.
std::vector<std::string> linesStartingWith(const std::vector<std::string>& lines, const std::string& prefix);
// The time of a trace line ("t=1500 sleep 500" gives 1500).
long long traceTime(const std::string& line);

}  // namespace tarvel::test
