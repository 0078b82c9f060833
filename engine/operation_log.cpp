#include "engine/operation_log.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace orvel {

namespace {

// The log is plain text with CR LF line ends wherever it is read.
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kLogExtension = ".log";
// Far more runs from one source than a rescue takes; the bound keeps a
// folder full of logs from being searched for ever.
constexpr unsigned kMostLogsPerSource = 9999;

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t characterCount(std::string_view text)
{
    std::size_t count = 0;
    for (const char c : text)
        if (!isContinuationByte(c))
            ++count;
    return count;
}

// The bytes of the first UTF-8 character of a non-empty text.
std::string_view firstCharacter(std::string_view text)
{
    std::size_t length = 1;
    while (length < text.size() && isContinuationByte(text[length]))
        ++length;
    return text.substr(0, length);
}

// Characters that no file name may hold on any platform the program runs on.
bool isForbiddenInFileName(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F)
        return true;
    return std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
}

// Turns every "\n" into the log's line end.
std::string withLogLineEnds(std::string_view text)
{
    std::string result;
    result.reserve(text.size() + 8);
    for (const char c : text) {
        if (c == '\n')
            result += kLineEnd;
        else
            result += c;
    }
    return result;
}

bool writeToLog(const std::string& logPath, std::string_view text, std::ios::openmode mode)
{
    if (logPath.empty())
        return false;
    std::ofstream file(logPath, std::ios::binary | std::ios::out | mode);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    return !file.fail();
}

} // namespace

std::string logFileNameFor(std::string_view sourceName, unsigned number)
{
    std::string stem;
    if (characterCount(sourceName) == 2)
        stem = "Drive" + std::string(firstCharacter(sourceName));
    else
        stem = std::string(sourceName);

    for (char& c : stem)
        if (isForbiddenInFileName(c))
            c = '_';

    const std::string suffix = number > 1 ? " (" + std::to_string(number) + ")" : std::string();
    const std::size_t stemLimit = kLogFileNameLimit - kLogExtension.size() - suffix.size();
    if (stem.size() > stemLimit) {
        std::size_t cut = stemLimit;
        while (cut > 0 && isContinuationByte(stem[cut]))
            --cut;
        stem.resize(cut);
    }
    return stem + suffix + std::string(kLogExtension);
}

std::string logFilePath(std::string_view directory, std::string_view sourceName, unsigned number)
{
    if (directory.empty())
        return {};
    std::string path(directory);
    if (path.back() != '/')
        path += '/';
    return path + logFileNameFor(sourceName, number);
}

std::string asctimeText(const std::tm& localTime)
{
    static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const auto day = static_cast<std::size_t>(localTime.tm_wday) % kDays.size();
    const auto month = static_cast<std::size_t>(localTime.tm_mon) % kMonths.size();
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", kDays[day], kMonths[month],
                  localTime.tm_mday, localTime.tm_hour, localTime.tm_min, localTime.tm_sec,
                  1900 + localTime.tm_year);
    return text.data();
}

std::string logHeaderText(std::string_view sourceName, std::string_view destinationName,
                          const DiskDevice& source, const std::tm& localTime)
{
    // The time text brings its own line end, so an empty line follows it.
    std::string text = "Log File of Cloning/Imaging\n";
    text += "Current date and time : " + asctimeText(localTime) + "\n";
    text += std::string(sourceName) + " --------> " + std::string(destinationName) + "\n";
    text += "Start Sector  :  " + std::to_string(source.startSector) + "\n";
    text += "End Sector :  " + std::to_string(source.endSector - 1) + "\n";
    return withLogLineEnds(text);
}

CreatedLog writeLogHeader(std::string_view directory, std::string_view sourceName, std::string_view destinationName,
                          const DiskDevice& source, std::time_t now)
{
    CreatedLog log;
    log.path = logFilePath(directory, sourceName);
    if (log.path.empty()) {
        log.reason = "no folder for logs";
        return log;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(directory), error);
    if (error) {
        log.reason = error.message();
        return log;
    }
    std::tm localTime{};
    localtime_r(&now, &localTime);
    const std::string header = logHeaderText(sourceName, destinationName, source, localTime);
    for (unsigned number = 1; number <= kMostLogsPerSource; ++number) {
        const std::string path = logFilePath(directory, sourceName, number);
        // A name taken by anything, a dangling link included, is left alone.
        if (std::filesystem::exists(std::filesystem::symlink_status(path, error)))
            continue;
        log.path = path;
        errno = 0;
        // Appending never empties a file that another run made at the same moment.
        log.created = writeToLog(path, header, std::ios::app);
        if (!log.created)
            log.reason = errno != 0 ? std::strerror(errno) : "the file cannot be written";
        return log;
    }
    log.reason = "every log name of this source is taken";
    return log;
}

std::string logRefusalText(const CreatedLog& log)
{
    return "Cannot write the log file " + log.path + ": " + log.reason + ".";
}

bool appendBadSector(const std::string& logPath, std::uint64_t sector)
{
    return writeToLog(logPath,
                      "Bad Sector encountered. Sector No.\t:\t" + std::to_string(sector) + std::string(kLineEnd),
                      std::ios::app);
}

bool appendWriteError(const std::string& logPath, std::uint64_t destinationSector)
{
    return writeToLog(logPath,
                      "Write error encountered. Sector No.\t:\t" + std::to_string(destinationSector) +
                          std::string(kLineEnd),
                      std::ios::app);
}

bool appendDeviceLost(const std::string& logPath, std::uint64_t sector)
{
    return writeToLog(logPath, "Device lost. Sector No.\t:\t" + std::to_string(sector) + std::string(kLineEnd),
                      std::ios::app);
}

bool appendFlushError(const std::string& logPath)
{
    return writeToLog(logPath, "Write error encountered while flushing the destination." + std::string(kLineEnd),
                      std::ios::app);
}

bool appendLayoutWarning(const std::string& logPath)
{
    return writeToLog(logPath,
                      "Warning: the partition table was erased, but the system still lists the old partitions "
                      "(a program keeps one open)." +
                          std::string(kLineEnd),
                      std::ios::app);
}

bool appendLogLine(const std::string& logPath, std::string_view line)
{
    return writeToLog(logPath, std::string(line) + std::string(kLineEnd), std::ios::app);
}

bool writeLogSummary(const std::string& logPath, LogOutcome outcome, const DiskDevice& source)
{
    std::string text;
    switch (outcome) {
    case LogOutcome::Completed:
        text = "Operation successfully completed.\n";
        break;
    case LogOutcome::Cancelled:
        text = "Operation Cancelled.\n";
        break;
    case LogOutcome::Failed:
        text = "Operation failed.\n";
        break;
    }
    text += std::to_string(static_cast<std::int64_t>(source.sectorsCopied.load())) + " Sector(s) copied.\n";
    text += std::to_string(static_cast<std::int64_t>(source.badSectors.load())) + " Bad Sector(s) encountered.\n";
    return writeToLog(logPath, withLogLineEnds(text), std::ios::app);
}

} // namespace orvel
