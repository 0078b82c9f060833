#pragma once

#include "platform/platform.h"
#include "support/sim_platform_fixture.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvel::test {

// How one drive answers S.M.A.R.T. requests.
struct FakeSmartDrive {
    bool supportsSmart = true;
    bool enableSucceeds = true;
    std::optional<SmartBlock> data;        // nullopt: READ DATA fails
    std::optional<SmartBlock> thresholds;  // nullopt: READ THRESHOLDS fails
};

// Serves FakeSmartDrives by number and records what was asked of them.
class FakeSmartTransport : public SmartTransport {
public:
    std::map<std::uint64_t, FakeSmartDrive> drives;
    std::map<std::uint64_t, AtaRegisters> returnStatus;  // what RETURN STATUS returns; absent: it fails
    std::map<std::uint64_t, NvmeHealthPage> nvmeDrives;  // drives that answer Get Log Page
    std::vector<std::uint64_t> openedNumbers;
    std::vector<std::uint64_t> nvmeRequests;
    std::vector<AtaRegisters> commands;  // in the order they were sent
    int openDevices = 0;                 // devices not yet closed

    std::unique_ptr<SmartDevice> openSmartDevice(std::uint64_t driveNumber) override;
    std::optional<NvmeHealthPage> readNvmeHealthLog(std::uint64_t driveNumber) override;
};

// A drive catalog that answers with the rows and statuses it is given and
// counts the questions it is asked.
class FakeDriveCatalog : public DriveCatalog {
public:
    std::vector<DiskDriveRow> diskDrives;
    std::vector<LogicalDiskRow> logicalDisks;
    CatalogStatus diskDriveStatus = CatalogStatus::Ok;
    CatalogStatus logicalDiskStatus = CatalogStatus::Ok;
    std::vector<std::string> opticalCaptions;
    std::optional<OsVersion> version = OsVersion{10, 0};
    bool includesVerdict = false;
    std::vector<bool> serialRequests;  // withSerialNumbers of every listDiskDrives call
    int versionRequests = 0;

    CatalogStatus listDiskDrives(bool withSerialNumbers, std::vector<DiskDriveRow>& rows) override;
    CatalogStatus listLogicalDisks(std::vector<LogicalDiskRow>& rows) override;
    bool isOpticalDrive(std::string_view caption) override;
    std::optional<OsVersion> osVersion() override;
    bool statusIncludesDriveVerdict() override { return includesVerdict; }
};

// The fakes above, with a drive-less simulated platform for the rest.
class FakePlatform : public Platform {
public:
    FakePlatform() { sim_.make({}); }

    FakeDriveCatalog catalog;
    FakeSmartTransport transport;

    DeviceAccess& devices() override { return sim_.platform().devices(); }
    DriveCatalog& drives() override { return catalog; }
    SmartTransport& smart() override { return transport; }
    SystemServices& system() override { return sim_.platform().system(); }

private:
    SimPlatformFixture sim_;
};

// A data block with the given 12-byte entries from offset 2, the rest zero.
struct SmartEntry {
    std::uint8_t id = 0;
    std::uint8_t current = 0;
    std::uint8_t worst = 0;
    std::array<std::uint8_t, 6> raw{};
    std::uint16_t flags = 0;
};
SmartBlock attributeBlock(const std::vector<SmartEntry>& entries);

// A threshold block whose entry i holds `ids[i]` and `thresholds[i]`.
SmartBlock thresholdBlock(const std::vector<std::uint8_t>& ids, const std::vector<std::uint8_t>& thresholds);

// A physical drive row with every property present.
DiskDriveRow diskRow(std::uint64_t index, const std::string& model, const std::string& interfaceType = "IDE");

} // namespace orvel::test
