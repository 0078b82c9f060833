#pragma once

#include "engine/disk_device.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace orvel {

// How an operation ended, as its log summary says it.
enum class LogOutcome { Completed, Cancelled, Failed };

// The longest log file name, ".log" included: the longest name a Linux file
// system takes, which also leaves room for the terminating zero of the
// 260-byte name buffer of other platforms.
inline constexpr std::size_t kLogFileNameLimit = 255;

// The log's file name for a source: "Drive" and the first character of a
// two-character name (D: gives DriveD.log), else the whole name, then ".log";
// a later log of the same source takes " (2)", " (3)", ... before ".log".
// Separators and characters no file name can hold become '_'; a long name is
// cut at a character boundary so that the result fits kLogFileNameLimit.
std::string logFileNameFor(std::string_view sourceName, unsigned number = 1);

// The log's absolute path in `directory`; empty when there is no directory.
std::string logFilePath(std::string_view directory, std::string_view sourceName, unsigned number = 1);

// The local time as the C library's asctime writes it, line end included:
// "Sun Sep 16 01:03:52 1973\n". Independent of the process's locale.
std::string asctimeText(const std::tm& localTime);

// The log's six header lines, with CR LF line ends.
std::string logHeaderText(std::string_view sourceName, std::string_view destinationName,
                          const DiskDevice& source, const std::tm& localTime);

// A log file as writeLogHeader made it.
struct CreatedLog {
    bool created = false;
    std::string path;    // the log's path, which the other calls take; the path tried when none was made
    std::string reason;  // why it was not made, in the system's words
};

// Makes `directory` (with its parents) when it is missing and writes the
// header into a new log there. An earlier log is never overwritten: the new
// one takes the first free name (NAME.log, NAME (2).log, ...), since the bad
// sectors of a first rescue attempt must survive the second.
CreatedLog writeLogHeader(std::string_view directory, std::string_view sourceName, std::string_view destinationName,
                          const DiskDevice& source, std::time_t now = std::time(nullptr));

// What the operator is told when the log cannot be made; nothing is copied then.
std::string logRefusalText(const CreatedLog& log);

// Each appends its lines to the log and closes it again. A log that cannot be
// opened drops them silently (false); the copy goes on either way.
bool appendBadSector(const std::string& logPath, std::uint64_t sector);
bool appendWriteError(const std::string& logPath, std::uint64_t destinationSector);
// A device that went away: the sector in work when it did (a source sector,
// or a destination sector when the destination went).
bool appendDeviceLost(const std::string& logPath, std::uint64_t sector);
bool appendFlushError(const std::string& logPath);
// The destination drive's partition table is erased, but the system could
// not be made to forget the old partitions; the copy goes on.
bool appendLayoutWarning(const std::string& logPath);
// A line of its own, given without its line end.
bool appendLogLine(const std::string& logPath, std::string_view line);
bool writeLogSummary(const std::string& logPath, LogOutcome outcome, const DiskDevice& source);

} // namespace orvel
