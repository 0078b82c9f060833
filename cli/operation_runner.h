#pragma once

#include "engine/copy_worker.h"

#include <iosfwd>
#include <string>

namespace orvel::cli {

struct RunSettings {
    bool forwardCopy = true;
    bool cloningShown = false;
    bool quiet = false;
    std::string logDirectory;
    bool verify = false;
    MapSettings map = {};
};

// Runs the operation set up in the slots to its end, showing progress on
// `out` and turning Ctrl+C into a cancel request. Prints the outcome and the
// log's path and returns the exit status.
int runPreparedOperation(const RunSettings& settings, std::ostream& out, std::ostream& err);

} // namespace orvel::cli
