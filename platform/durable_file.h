#pragma once

#include <string>
#include <string_view>

namespace orvel {

// Replaces the file at `path` with `contents` so that a crash at any moment
// leaves the old file or the new one, whole: the contents are written to
// PATH.tmp beside it, flushed to stable storage and renamed over `path`, and
// the rename is flushed too. False when any step fails; no PATH.tmp is left
// behind then.
bool replaceFileDurably(const std::string& path, std::string_view contents);

} // namespace orvel
