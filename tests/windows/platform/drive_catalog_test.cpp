// The drive catalog against the system's own management service (WMI; under
// Wine its implementation), checked against what other system calls say.

#include "platform/windows/windows_drive_catalog.h"

#include "windows/support/wine.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <charconv>
#include <set>
#include <thread>

namespace orvel::windows {
namespace {

std::set<std::string> driveLetters()
{
    std::set<std::string> letters;
    const DWORD present = ::GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (present & (1u << (letter - 'A')))
            letters.insert(std::string(1, letter) + ":");
    }
    return letters;
}

std::optional<std::uint64_t> decimal(const std::optional<std::string>& text)
{
    std::uint64_t value = 0;
    if (!text || std::from_chars(text->data(), text->data() + text->size(), value).ec != std::errc())
        return std::nullopt;
    return value;
}

bool endsWithIgnoringCase(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() &&
           std::equal(end.rbegin(), end.rend(), text.rbegin(),
                      [](char a, char b) { return std::toupper(a) == std::toupper(b); });
}

// Major and minor version as the kernel reports them, which no
// compatibility setting changes.
OsVersion kernelVersion()
{
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (rtlGetVersion != nullptr)
        rtlGetVersion(&version);
    return {version.dwMajorVersion, version.dwMinorVersion};
}

class DriveCatalogTest : public testing::Test {
protected:
    std::unique_ptr<DriveCatalog> catalog = makeWindowsDriveCatalog();
};

TEST_F(DriveCatalogTest, VolumesAreTheSystemsDriveLetters)
{
    std::vector<LogicalDiskRow> rows;
    ASSERT_EQ(catalog->listLogicalDisks(rows), CatalogStatus::Ok);
    ASSERT_FALSE(rows.empty()) << "not even the system drive";
    const std::set<std::string> letters = driveLetters();
    for (const LogicalDiskRow& row : rows) {
        ASSERT_TRUE(row.caption && row.name);
        EXPECT_EQ(*row.caption, *row.name);
        EXPECT_TRUE(letters.count(*row.name)) << *row.name << " is no drive letter of this system";
        if (row.size) {
            EXPECT_TRUE(decimal(row.size)) << *row.name << ": size \"" << *row.size << '"';
        }
    }
}

TEST_F(DriveCatalogTest, VolumeSizesAreTheirCapacity)
{
    if (test::runningUnderWine())
        GTEST_SKIP() << "Wine's management service gives every volume the same made-up size";
    std::vector<LogicalDiskRow> rows;
    ASSERT_EQ(catalog->listLogicalDisks(rows), CatalogStatus::Ok);
    for (const LogicalDiskRow& row : rows) {
        if (!row.size)
            continue;  // an empty card reader or optical drive
        ULARGE_INTEGER total{};
        const std::wstring root = std::wstring(row.name->begin(), row.name->end()) + L"\\";
        ASSERT_TRUE(::GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, nullptr)) << *row.name;
        EXPECT_EQ(decimal(row.size), total.QuadPart) << *row.name;
    }
}

TEST_F(DriveCatalogTest, DrivesCarryTheirNumberInTheirPath)
{
    std::vector<DiskDriveRow> rows;
    ASSERT_EQ(catalog->listDiskDrives(false, rows), CatalogStatus::Ok);
    if (rows.empty())
        GTEST_SKIP() << "the service lists no physical drive";
    for (const DiskDriveRow& row : rows) {
        ASSERT_TRUE(row.index && row.name);
        EXPECT_TRUE(endsWithIgnoringCase(*row.name, "PHYSICALDRIVE" + std::to_string(*row.index))) << *row.name;
        EXPECT_TRUE(row.model) << *row.name;
        EXPECT_FALSE(row.serialNumber) << "serial numbers were not asked for";
    }
}

TEST_F(DriveCatalogTest, VolumesNameTheDriveThatHoldsThem)
{
    std::vector<DiskDriveRow> drives;
    std::vector<LogicalDiskRow> volumes;
    ASSERT_EQ(catalog->listDiskDrives(true, drives), CatalogStatus::Ok);
    ASSERT_EQ(catalog->listLogicalDisks(volumes), CatalogStatus::Ok);
    std::set<std::uint64_t> numbers;
    for (const DiskDriveRow& drive : drives)
        numbers.insert(drive.index.value_or(~0ull));
    std::size_t placed = 0;
    for (const LogicalDiskRow& volume : volumes) {
        if (!volume.driveNumber)
            continue;
        ++placed;
        EXPECT_TRUE(numbers.count(*volume.driveNumber))
            << volume.name.value_or("?") << " lies on drive " << *volume.driveNumber << ", which is not listed";
    }
    if (placed == 0)
        GTEST_SKIP() << "the service links no volume to a partition";
}

TEST_F(DriveCatalogTest, SystemVersionIsTheKernelsOwn)
{
    const std::optional<OsVersion> version = catalog->osVersion();
    ASSERT_TRUE(version);
    const OsVersion kernel = kernelVersion();
    EXPECT_EQ(version->major, kernel.major) << "the manifest's supported systems are missing";
    EXPECT_EQ(version->minor, kernel.minor);
}

TEST_F(DriveCatalogTest, AnswersOnThreadsWhoseComIsAlreadyStarted)
{
    for (const DWORD model : {COINIT_MULTITHREADED, COINIT_APARTMENTTHREADED}) {
        CatalogStatus status = CatalogStatus::ServiceFailed;
        bool comStillStarted = false;
        std::thread caller([&] {
            if (FAILED(::CoInitializeEx(nullptr, model)))
                return;
            std::vector<LogicalDiskRow> rows;
            status = catalog->listLogicalDisks(rows);
            // S_FALSE: the thread's own start is still in force.
            comStillStarted = ::CoInitializeEx(nullptr, model) == S_FALSE;
            ::CoUninitialize();
            ::CoUninitialize();
        });
        caller.join();
        EXPECT_EQ(status, CatalogStatus::Ok) << "COM model " << model;
        EXPECT_TRUE(comStillStarted) << "the catalog stopped COM it had not started, model " << model;
    }
}

TEST_F(DriveCatalogTest, OpticalDrivesAreToldByTheirLetter)
{
    std::optional<std::string> optical;
    for (const std::string& letter : driveLetters()) {
        const std::wstring root = std::wstring(letter.begin(), letter.end()) + L"\\";
        if (::GetDriveTypeW(root.c_str()) == DRIVE_CDROM)
            optical = letter;
        else
            EXPECT_FALSE(catalog->isOpticalDrive(letter)) << letter;
    }
    if (!optical)
        GTEST_SKIP() << "this system has no CD or DVD drive";
    EXPECT_TRUE(catalog->isOpticalDrive(*optical)) << *optical;
}

} // namespace
} // namespace orvel::windows
