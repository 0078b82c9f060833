#include "inventory_fakes.h"

#include <algorithm>

namespace orvel::test {

namespace {

class FakeSmartDevice : public SmartDevice {
public:
    FakeSmartDevice(FakeSmartTransport& transport, FakeSmartDrive drive, std::optional<AtaRegisters> returnStatus)
        : transport_(transport), drive_(std::move(drive)), returnStatus_(returnStatus)
    {
        ++transport_.openDevices;
    }
    ~FakeSmartDevice() override { --transport_.openDevices; }

    bool supportsSmartCommands() override { return drive_.supportsSmart; }

    bool sendCommand(const AtaRegisters& registers) override
    {
        transport_.commands.push_back(registers);
        return drive_.enableSucceeds;
    }

    bool receiveData(const AtaRegisters& registers, SmartBlock& block) override
    {
        transport_.commands.push_back(registers);
        const std::optional<SmartBlock>& answer = registers.features == 0xD0 ? drive_.data : drive_.thresholds;
        if (!answer)
            return false;
        block = *answer;
        return true;
    }

    bool queryRegisters(const AtaRegisters& registers, AtaRegisters& returned) override
    {
        transport_.commands.push_back(registers);
        if (!returnStatus_)
            return false;
        returned = *returnStatus_;
        return true;
    }

private:
    FakeSmartTransport& transport_;
    FakeSmartDrive drive_;
    std::optional<AtaRegisters> returnStatus_;
};

} // namespace

std::unique_ptr<SmartDevice> FakeSmartTransport::openSmartDevice(std::uint64_t driveNumber)
{
    openedNumbers.push_back(driveNumber);
    const auto drive = drives.find(driveNumber);
    if (drive == drives.end())
        return nullptr;
    const auto status = returnStatus.find(driveNumber);
    return std::make_unique<FakeSmartDevice>(
        *this, drive->second, status == returnStatus.end() ? std::nullopt : std::optional(status->second));
}

std::optional<NvmeHealthPage> FakeSmartTransport::readNvmeHealthLog(std::uint64_t driveNumber)
{
    nvmeRequests.push_back(driveNumber);
    const auto drive = nvmeDrives.find(driveNumber);
    if (drive == nvmeDrives.end())
        return std::nullopt;
    return drive->second;
}

CatalogStatus FakeDriveCatalog::listDiskDrives(bool withSerialNumbers, std::vector<DiskDriveRow>& rows)
{
    serialRequests.push_back(withSerialNumbers);
    if (diskDriveStatus != CatalogStatus::Ok)
        return diskDriveStatus;
    for (DiskDriveRow row : diskDrives) {
        if (!withSerialNumbers)
            row.serialNumber.reset();
        rows.push_back(std::move(row));
    }
    return CatalogStatus::Ok;
}

CatalogStatus FakeDriveCatalog::listLogicalDisks(std::vector<LogicalDiskRow>& rows)
{
    if (logicalDiskStatus != CatalogStatus::Ok)
        return logicalDiskStatus;
    rows.insert(rows.end(), logicalDisks.begin(), logicalDisks.end());
    return CatalogStatus::Ok;
}

bool FakeDriveCatalog::isOpticalDrive(std::string_view caption)
{
    return std::find(opticalCaptions.begin(), opticalCaptions.end(), caption) != opticalCaptions.end();
}

std::optional<OsVersion> FakeDriveCatalog::osVersion()
{
    ++versionRequests;
    return version;
}

SmartBlock attributeBlock(const std::vector<SmartEntry>& entries)
{
    SmartBlock block{};
    block[0] = 0x10;  // data structure revision, unused
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::uint8_t* entry = block.data() + 2 + 12 * i;
        entry[0] = entries[i].id;
        entry[1] = static_cast<std::uint8_t>(entries[i].flags & 0xFF);
        entry[2] = static_cast<std::uint8_t>(entries[i].flags >> 8);
        entry[3] = entries[i].current;
        entry[4] = entries[i].worst;
        std::copy(entries[i].raw.begin(), entries[i].raw.end(), entry + 5);
        entry[11] = 0xEE;  // reserved: must not leak into any field
    }
    return block;
}

SmartBlock thresholdBlock(const std::vector<std::uint8_t>& ids, const std::vector<std::uint8_t>& thresholds)
{
    SmartBlock block{};
    for (std::size_t i = 0; i < ids.size(); ++i) {
        block[2 + 12 * i] = ids[i];
        block[2 + 12 * i + 1] = thresholds[i];
        block[2 + 12 * i + 2] = 0xEE;  // reserved
    }
    return block;
}

DiskDriveRow diskRow(std::uint64_t index, const std::string& model, const std::string& interfaceType)
{
    DiskDriveRow row;
    row.caption = model;
    row.name = "/dev/disk/by-diskseq/" + std::to_string(index);
    row.size = "500107862016";
    row.index = index;
    row.model = model;
    row.mediaType = "Fixed hard disk media";
    row.interfaceType = interfaceType;
    row.status = "OK";
    row.serialNumber = "SN" + std::to_string(index);
    return row;
}

} // namespace orvel::test
