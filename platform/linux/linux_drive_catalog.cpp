#include "platform/linux/linux_drive_catalog.h"

#include "platform/linux/block_names.h"
#include "platform/linux/nvme_controller.h"
#include "platform/linux/partition_place.h"
#include "platform/linux/scsi_generic.h"
#include "platform/linux/sysfs_disk_properties.h"
#include "platform/linux/sysfs_text.h"
#include "platform/linux/sysfs_vpd.h"

#include <algorithm>
#include <array>
#include <limits>
#include <tuple>
#include <utility>

namespace orvel {

namespace {

using sysfs::DiskKind;

constexpr std::uint64_t kSysfsSectorSize = 512;  // /sys "size" counts 512-byte units on every disk
constexpr std::uint8_t kUnitSerialPage = 0x80;
constexpr std::uint16_t kVpdAllocationLength = 252;
constexpr std::string_view kOpticalDeviceType = "5";  // SCSI peripheral type of CD/DVD drives

std::optional<std::string> trimmedAttribute(const std::string& path)
{
    std::optional<std::string> text = sysfs::readAttribute(path);
    if (!text)
        return std::nullopt;
    return sysfs::trimAttribute(*text);
}

std::optional<std::string> nonEmptyAttribute(const std::string& path)
{
    std::optional<std::string> text = trimmedAttribute(path);
    if (!text || text->empty())
        return std::nullopt;
    return text;
}

// The byte size of a disk or partition as decimal text.
std::optional<std::string> sizeText(const std::string& folder)
{
    const std::optional<std::string> text = sysfs::readAttribute(folder + "/size");
    const std::optional<std::uint64_t> sectors = text ? sysfs::parseUnsigned(*text) : std::nullopt;
    if (!sectors || *sectors > std::numeric_limits<std::uint64_t>::max() / kSysfsSectorSize)
        return std::nullopt;
    return std::to_string(*sectors * kSysfsSectorSize);
}

// The serial number of the USB device a disk sits on: the nearest folder up
// the device path that describes a USB device (it has idVendor).
std::optional<std::string> usbSerial(const std::string& resolvedDiskPath)
{
    std::string folder = resolvedDiskPath;
    while (!folder.empty()) {
        if (sysfs::pathExists(folder + "/idVendor"))
            return nonEmptyAttribute(folder + "/serial");
        const std::size_t slash = folder.find_last_of('/');
        if (slash == std::string::npos || slash == 0)
            break;
        folder.resize(slash);
    }
    return std::nullopt;
}

class LinuxDriveCatalog final : public DriveCatalog {
public:
    explicit LinuxDriveCatalog(sysfs::SystemRoots roots) : roots_(std::move(roots)) {}

    CatalogStatus listDiskDrives(bool withSerialNumbers, std::vector<DiskDriveRow>& rows) override
    {
        const std::optional<std::vector<std::string>> names = sysfs::listFolder(roots_.sys + "/block");
        if (!names)
            return CatalogStatus::ServiceFailed;

        std::vector<DiskDriveRow> found;
        for (const std::string& name : *names) {
            if (std::optional<DiskDriveRow> row = describeDisk(name, withSerialNumbers))
                found.push_back(std::move(*row));
        }
        // By drive number, as the system numbers its disks; disks without one last.
        std::stable_sort(found.begin(), found.end(), [](const DiskDriveRow& a, const DiskDriveRow& b) {
            return std::make_tuple(!a.index, a.index.value_or(0)) < std::make_tuple(!b.index, b.index.value_or(0));
        });
        rows.insert(rows.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
        return CatalogStatus::Ok;
    }

    CatalogStatus listLogicalDisks(std::vector<LogicalDiskRow>& rows) override
    {
        const std::string classFolder = roots_.sys + "/class/block";
        const std::optional<std::vector<std::string>> names = sysfs::listFolder(classFolder);
        if (!names)
            return CatalogStatus::ServiceFailed;

        struct Partition {
            std::uint64_t diskOrder;
            std::uint64_t number;
            LogicalDiskRow row;
        };
        std::vector<Partition> partitions;
        for (const std::string& name : *names) {
            if (!isBareKernelName(name))
                continue;
            const std::string folder = classFolder + "/" + name;
            const std::optional<std::string> numberText = sysfs::readAttribute(folder + "/partition");
            if (!numberText)
                continue;
            // A partition's folder sits inside its disk's folder.
            const std::string resolved = sysfs::resolvedPath(folder);
            const std::string disk = resolved.substr(0, resolved.find_last_of('/'));
            const std::string diskName = disk.substr(disk.find_last_of('/') + 1);
            if (sysfs::classifyDiskName(diskName) == DiskKind::Optical)
                continue;

            LogicalDiskRow row;
            row.caption = name;
            row.name = name;
            row.size = sizeText(folder);
            row.driveNumber = sysfs::diskSequence(roots_, diskName);
            if (const std::optional<PartitionPlace> place = partitionPlace(folder)) {
                row.partitionNumber = place->number;
                row.startBytes = place->startBytes;
            }
            partitions.push_back({sysfs::diskSequence(roots_, diskName).value_or(0),
                                  sysfs::parseUnsigned(*numberText).value_or(0), std::move(row)});
        }
        std::stable_sort(partitions.begin(), partitions.end(), [](const Partition& a, const Partition& b) {
            return std::tie(a.diskOrder, a.number) < std::tie(b.diskOrder, b.number);
        });
        for (Partition& partition : partitions)
            rows.push_back(std::move(partition.row));
        return CatalogStatus::Ok;
    }

    bool isOpticalDrive(std::string_view caption) override
    {
        if (!isBareKernelName(caption))
            return false;
        const std::string name(caption);
        return sysfs::classifyDiskName(name) == DiskKind::Optical ||
               trimmedAttribute(roots_.sys + "/class/block/" + name + "/device/type") == kOpticalDeviceType;
    }

    // Serial numbers arrive as plain text here, as on the systems the serial
    // rules count as 6.2 or later.
    std::optional<OsVersion> osVersion() override { return OsVersion{6, 2}; }

    // The device state says only whether a disk runs; the drive's own verdict
    // is asked of the drive.
    bool statusIncludesDriveVerdict() override { return false; }

private:
    std::optional<DiskDriveRow> describeDisk(const std::string& name, bool withSerialNumber)
    {
        if (!isBareKernelName(name))
            return std::nullopt;
        const DiskKind kind = sysfs::classifyDiskName(name);
        if (kind == DiskKind::Ram || kind == DiskKind::Zram || kind == DiskKind::Optical)
            return std::nullopt;

        const std::string folder = roots_.sys + "/block/" + name;
        // Hidden disks (the paths of a multipath NVMe namespace) have no device node.
        if (trimmedAttribute(folder + "/hidden") == "1")
            return std::nullopt;
        const std::string device = folder + "/device";
        sysfs::DiskIdentity identity;
        identity.kernelName = name;
        identity.loopBackingFile = nonEmptyAttribute(folder + "/loop/backing_file");
        if (kind == DiskKind::Loop && !identity.loopBackingFile)
            return std::nullopt;
        identity.model = sysfs::readAttribute(device + "/model");
        identity.vendor = identity.model ? sysfs::readAttribute(device + "/vendor") : std::nullopt;
        if (const auto page = sysfs::readBinaryAttribute(device + "/vpd_pg89"))
            identity.ataModel = sysfs::parseAtaInformationModel(*page);
        identity.isVirtio = sysfs::resolvedPath(device + "/driver").ends_with("/virtio_blk");

        DiskDriveRow row;
        row.index = sysfs::diskSequence(roots_, name);
        if (row.index)
            row.name = "/dev/disk/by-diskseq/" + std::to_string(*row.index);
        row.size = sizeText(folder);

        const std::string resolved = sysfs::resolvedPath(folder);
        row.interfaceType = sysfs::interfaceTypeFromPath(resolved);
        row.mediaType = sysfs::mediaTypeFor(trimmedAttribute(folder + "/removable") == "1", *row.interfaceType);
        row.status = sysfs::statusFromDeviceState(trimmedAttribute(device + "/state"));
        if (withSerialNumber) {
            row.serialNumber = serialNumber(name, folder, resolved, *row.interfaceType);
            row.firmwareRevision = nonEmptyAttribute(device + "/firmware_rev");
        }
        if (const std::optional<std::string> controller = findNvmeController(roots_, name))
            completeFromController(*controller, withSerialNumber, identity, row);
        row.model = sysfs::modelText(identity);
        row.caption = row.model;
        return row;
    }

    // sysfs keeps an NVMe drive's model, serial number and firmware revision
    // on its controller; where it lacks one, the controller is asked
    // (Identify Controller), once.
    void completeFromController(const std::string& controller, bool withSerialNumber, sysfs::DiskIdentity& identity,
                                DiskDriveRow& row)
    {
        const bool lacksModel = !identity.model || sysfs::trimAttribute(*identity.model).empty();
        const bool lacksSerial = withSerialNumber && !row.serialNumber;
        const bool lacksFirmware = withSerialNumber && !row.firmwareRevision;
        if (!lacksModel && !lacksSerial && !lacksFirmware)
            return;
        const std::unique_ptr<NvmeController> device = NvmeController::open(roots_.dev + "/" + controller);
        const std::optional<NvmeControllerIdentity> identified = device ? device->identify() : std::nullopt;
        if (!identified)
            return;
        if (lacksModel && !identified->model.empty())
            identity.model = identified->model;
        if (lacksSerial && !identified->serialNumber.empty())
            row.serialNumber = identified->serialNumber;
        if (lacksFirmware && !identified->firmwareRevision.empty())
            row.firmwareRevision = identified->firmwareRevision;
    }

    std::optional<std::string> serialNumber(const std::string& name, const std::string& folder,
                                            const std::string& resolved, const std::string& interfaceType)
    {
        // virtio keeps it beside the disk, NVMe on its controller.
        if (auto serial = nonEmptyAttribute(folder + "/serial"))
            return serial;
        const std::string device = folder + "/device";
        if (auto serial = nonEmptyAttribute(device + "/serial"))
            return serial;
        // USB bridges often mishandle vital product data requests (the kernel
        // does not send them either); the USB device carries the serial.
        if (interfaceType == "USB")
            return usbSerial(resolved);
        if (const auto page = sysfs::readBinaryAttribute(device + "/vpd_pg80"))
            return sysfs::parseUnitSerialPage(*page);
        if (!sysfs::pathExists(device + "/type"))
            return std::nullopt;
        return inquireUnitSerial(roots_.dev + "/" + name);
    }

    static std::optional<std::string> inquireUnitSerial(const std::string& devicePath)
    {
        const std::unique_ptr<ScsiGenericDisk> disk = ScsiGenericDisk::open(devicePath);
        if (!disk)
            return std::nullopt;
        std::array<std::uint8_t, kVpdAllocationLength> page{};
        const std::optional<std::size_t> received =
            disk->receive(buildVpdInquiry(kUnitSerialPage, kVpdAllocationLength), page);
        if (!received)
            return std::nullopt;
        return sysfs::parseUnitSerialPage(std::span<const std::uint8_t>(page.data(), *received));
    }

    sysfs::SystemRoots roots_;
};

} // namespace

std::unique_ptr<DriveCatalog> makeLinuxDriveCatalog() { return makeLinuxDriveCatalog(sysfs::SystemRoots{}); }

std::unique_ptr<DriveCatalog> makeLinuxDriveCatalog(const sysfs::SystemRoots& roots)
{
    return std::make_unique<LinuxDriveCatalog>(roots);
}

} // namespace orvel
