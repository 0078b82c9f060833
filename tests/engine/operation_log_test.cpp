#include "engine/operation_log.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <iterator>
#include <string>

namespace orvel {
namespace {

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::tm localTime(int year, int month, int day, int hour, int minute, int second, int weekday)
{
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    time.tm_wday = weekday;
    return time;
}

// A source record over [start, end).
struct Range {
    Range(std::uint64_t start, std::uint64_t end)
    {
        device.startSector = start;
        device.endSector = end;
    }
    DiskDevice device;
};

TEST(LogFileName, TwoCharacterSourceIsNamedAfterItsFirstCharacter)
{
    EXPECT_EQ(logFileNameFor("D:"), "DriveD.log");
    EXPECT_EQ(logFileNameFor("é:"), "Driveé.log");
    EXPECT_EQ(logFileNameFor("/x"), "Drive_.log");
}

TEST(LogFileName, OtherSourcesKeepTheirNameWithUnsafeCharactersReplaced)
{
    EXPECT_EQ(logFileNameFor("sda1"), "sda1.log");
    EXPECT_EQ(logFileNameFor(""), ".log");
    EXPECT_EQ(logFileNameFor("Disk 1 (SSD)"), "Disk 1 (SSD).log");
    EXPECT_EQ(logFileNameFor("../../etc/passwd"), ".._.._etc_passwd.log");
    EXPECT_EQ(logFileNameFor("a\\b:c*d?e\"f<g>h|i\nj"), "a_b_c_d_e_f_g_h_i_j.log");
}

TEST(LogFileName, LongNameIsCutAtACharacterBoundaryToFit)
{
    std::string longest(251, 'a');
    longest += ".log";
    EXPECT_EQ(logFileNameFor(std::string(300, 'a')), longest);

    std::string wide;
    for (int i = 0; i < 200; ++i)
        wide += "é";  // two bytes each
    const std::string name = logFileNameFor(wide);
    EXPECT_LE(name.size(), 255u);
    EXPECT_EQ(name.size(), 250u + 4);
    EXPECT_EQ(name.substr(name.size() - 4), ".log");
    EXPECT_EQ(name.substr(0, 4), "éé");

    EXPECT_EQ(logFileNameFor("sdb", 2), "sdb (2).log");
    std::string numbered(246, 'a');
    numbered.append(" (12).log");
    EXPECT_EQ(logFileNameFor(std::string(300, 'a'), 12), numbered);
}

TEST(LogFileName, PathIsInTheGivenDirectory)
{
    EXPECT_EQ(logFilePath("/var/log/orvel-disk-image", "D:"), "/var/log/orvel-disk-image/DriveD.log");
    EXPECT_EQ(logFilePath("/tmp/logs/", "sdb"), "/tmp/logs/sdb.log");
    EXPECT_EQ(logFilePath("", "sdb"), "");
}

TEST(LogHeader, TimeReadsAsAsctimeWritesIt)
{
    EXPECT_EQ(asctimeText(localTime(1973, 9, 16, 1, 3, 52, 0)), "Sun Sep 16 01:03:52 1973\n");
    EXPECT_EQ(asctimeText(localTime(2024, 1, 5, 23, 0, 9, 5)), "Fri Jan  5 23:00:09 2024\n");
}

TEST(LogHeader, HeaderLinesHaveTheirExactSpacingAndLineEnds)
{
    EXPECT_EQ(logHeaderText("D:", "E:", Range(0, 1000).device, localTime(2024, 1, 5, 23, 0, 9, 5)),
              "Log File of Cloning/Imaging\r\n"
              "Current date and time : Fri Jan  5 23:00:09 2024\r\n"
              "\r\n"
              "D: --------> E:\r\n"
              "Start Sector  :  0\r\n"
              "End Sector :  999\r\n");
}

TEST(LogHeader, EmptyRangeEndingAtZeroWrapsTheEndSector)
{
    const std::string header = logHeaderText("a", "b", Range(0, 0).device, localTime(2024, 1, 5, 23, 0, 9, 5));
    EXPECT_NE(header.find("End Sector :  18446744073709551615\r\n"), std::string::npos);
}

TEST(LogFile, ALaterLogTakesTheNextFreeNameAndTheOtherLinesAppend)
{
    test::TempDir folder;
    Range range(0, 1000);
    DiskDevice& source = range.device;
    const std::string logs = folder.file("new/logs");
    const CreatedLog first = writeLogHeader(logs, "D:", "E:", source);
    ASSERT_TRUE(first.created) << first.reason;
    EXPECT_EQ(first.path, logs + "/DriveD.log");
    appendBadSector(first.path, 3);
    writeLogSummary(first.path, LogOutcome::Completed, source);
    const std::string firstLog = readFile(first.path);

    const CreatedLog second = writeLogHeader(logs, "D:", "E:", source);
    ASSERT_TRUE(second.created);
    const std::string path = second.path;
    EXPECT_EQ(path, logs + "/DriveD (2).log");
    EXPECT_EQ(readFile(first.path), firstLog);
    EXPECT_TRUE(appendBadSector(path, 7));
    EXPECT_TRUE(appendBadSector(path, 9));
    EXPECT_TRUE(appendWriteError(path, 5009));
    source.sectorsCopied = 996;
    source.badSectors = 2;
    EXPECT_TRUE(writeLogSummary(path, LogOutcome::Cancelled, source));
    EXPECT_TRUE(writeLogSummary(path, LogOutcome::Failed, source));

    const std::string log = readFile(path);
    const std::string afterHeader = log.substr(log.find("End Sector :  999\r\n") + 19);
    EXPECT_EQ(afterHeader,
              "Bad Sector encountered. Sector No.\t:\t7\r\n"
              "Bad Sector encountered. Sector No.\t:\t9\r\n"
              "Write error encountered. Sector No.\t:\t5009\r\n"
              "Operation Cancelled.\r\n"
              "996 Sector(s) copied.\r\n"
              "2 Bad Sector(s) encountered.\r\n"
              "Operation failed.\r\n"
              "996 Sector(s) copied.\r\n"
              "2 Bad Sector(s) encountered.\r\n");
}

TEST(LogFile, ALogThatCannotBeMadeSaysWhy)
{
    test::TempDir folder;
    std::ofstream(folder.file("plain-file")) << "x";
    const Range range(0, 10);
    const DiskDevice& source = range.device;
    const CreatedLog log = writeLogHeader(folder.file("plain-file/logs"), "D:", "E:", source);
    EXPECT_FALSE(log.created);
    EXPECT_EQ(logRefusalText(log),
              "Cannot write the log file " + folder.file("plain-file/logs") + "/DriveD.log: Not a directory.");
    EXPECT_FALSE(appendBadSector(log.path, 1));
    EXPECT_FALSE(appendBadSector("", 1));
}

} // namespace
} // namespace orvel
