#include "platform/windows/windows_drive_catalog.h"

#include "platform/windows/requests/device_paths.h"
#include "platform/windows/requests/wmi_references.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/wmi_connection.h"

#include <windows.h>

#include <map>
#include <string>

namespace orvel::windows {

namespace {

// Each volume's physical drive, from the service's links between volumes
// and partitions. A volume that spans several drives keeps the first.
std::map<std::string, std::uint64_t> drivesOfVolumes(WmiConnection& service)
{
    std::map<std::string, std::uint64_t> drives;
    service.query(L"SELECT * FROM Win32_LogicalDiskToPartition", [&](const WmiObject& link) {
        const std::optional<std::string> partition = link.text(L"Antecedent");
        const std::optional<std::string> volume = link.text(L"Dependent");
        const std::optional<std::string> partitionKey = partition ? keyValueOf(*partition) : std::nullopt;
        const std::optional<std::string> volumeKey = volume ? keyValueOf(*volume) : std::nullopt;
        const std::optional<std::uint64_t> drive =
            partitionKey ? diskNumberOfPartitionKey(*partitionKey) : std::nullopt;
        if (volumeKey && drive)
            drives.emplace(*volumeKey, *drive);
    });
    return drives;
}

class WindowsDriveCatalog final : public DriveCatalog {
public:
    CatalogStatus listDiskDrives(bool withSerialNumbers, std::vector<DiskDriveRow>& rows) override
    {
        const ComApartment com;
        if (!com.ready())
            return CatalogStatus::ServiceFailed;
        WmiConnection service;
        if (const CatalogStatus status = service.connect(); status != CatalogStatus::Ok)
            return status;
        const bool answered = service.query(L"SELECT * FROM Win32_DiskDrive", [&](const WmiObject& drive) {
            DiskDriveRow row;
            row.caption = drive.text(L"Caption");
            // Name and DeviceID both hold the drive's path; a service that
            // leaves Name out still names the drive by its key.
            row.name = drive.text(L"Name");
            if (!row.name)
                row.name = drive.text(L"DeviceID");
            row.size = drive.text(L"Size");
            row.index = drive.number(L"Index");
            row.model = drive.text(L"Model");
            row.mediaType = drive.text(L"MediaType");
            row.interfaceType = drive.text(L"InterfaceType");
            row.status = drive.text(L"Status");
            if (withSerialNumbers) {
                row.serialNumber = drive.text(L"SerialNumber");
                row.firmwareRevision = drive.text(L"FirmwareRevision");
            }
            rows.push_back(std::move(row));
        });
        return answered ? CatalogStatus::Ok : CatalogStatus::ServiceFailed;
    }

    CatalogStatus listLogicalDisks(std::vector<LogicalDiskRow>& rows) override
    {
        const ComApartment com;
        if (!com.ready())
            return CatalogStatus::ServiceFailed;
        WmiConnection service;
        if (const CatalogStatus status = service.connect(); status != CatalogStatus::Ok)
            return status;
        std::vector<LogicalDiskRow> found;
        const bool answered = service.query(L"SELECT * FROM Win32_LogicalDisk", [&](const WmiObject& volume) {
            LogicalDiskRow row;
            row.caption = volume.text(L"Caption");
            row.name = volume.text(L"Name");
            row.size = volume.text(L"Size");
            found.push_back(std::move(row));
        });
        if (!answered)
            return CatalogStatus::ServiceFailed;
        const std::map<std::string, std::uint64_t> drives = drivesOfVolumes(service);
        for (LogicalDiskRow& row : found) {
            if (row.name) {
                if (const auto drive = drives.find(*row.name); drive != drives.end())
                    row.driveNumber = drive->second;
            }
            rows.push_back(std::move(row));
        }
        return CatalogStatus::Ok;
    }

    bool isOpticalDrive(std::string_view caption) override
    {
        const std::optional<std::string> root = driveRootOf(caption);
        const std::optional<std::wstring> wideRoot = root ? widen(*root) : std::nullopt;
        return wideRoot && ::GetDriveTypeW(wideRoot->c_str()) == DRIVE_CDROM;
    }

    std::optional<OsVersion> osVersion() override
    {
        // The manifest names the systems the program knows, so the answer is
        // the running system's own version rather than 6.2.
        OSVERSIONINFOW version{};
        version.dwOSVersionInfoSize = sizeof(version);
        if (!::GetVersionExW(&version))
            return std::nullopt;
        return OsVersion{version.dwMajorVersion, version.dwMinorVersion};
    }

    // WMI's Status is "Pred Fail" when the drive itself predicts its failure.
    bool statusIncludesDriveVerdict() override { return true; }
};

} // namespace

std::unique_ptr<DriveCatalog> makeWindowsDriveCatalog()
{
    return std::make_unique<WindowsDriveCatalog>();
}

} // namespace orvel::windows
