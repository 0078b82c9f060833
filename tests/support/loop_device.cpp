#include "support/loop_device.h"

#include "support/run_command.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace orvel::test {
namespace {

const std::vector<std::string> kRequiredTools = {"losetup", "sfdisk", "partx"};

std::string canonical(const std::string& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        return path;
    return resolved;
}

bool makeSparseFile(const std::string& path, std::uint64_t size, std::string& error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot create " + path;
        return false;
    }
    const bool sized = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    ::close(fd);
    if (!sized)
        error = "cannot size " + path + " to " + std::to_string(size) + " bytes";
    return sized;
}

// Partition number of a kernel name such as loop3p12 (0 when it is none).
unsigned partitionNumber(const std::string& name, const std::string& disk)
{
    const std::string prefix = disk + "p";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return 0;
    unsigned number = 0;
    const char* begin = name.data() + prefix.size();
    const char* end = name.data() + name.size();
    const auto [rest, failure] = std::from_chars(begin, end, number);
    return failure == std::errc() && rest == end ? number : 0;
}

} // namespace

std::string readSysfsLine(const std::string& path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

std::string LoopDevice::unavailableReason()
{
    if (::geteuid() != 0)
        return "loop devices need root";
    if (::access("/dev/loop-control", F_OK) != 0)
        return "/dev/loop-control is missing (no loop device support)";
    for (const std::string& tool : kRequiredTools) {
        if (findProgram(tool).empty())
            return tool + " is not installed";
    }
    return {};
}

std::unique_ptr<LoopDevice> LoopDevice::create(const Options& options, std::string& error)
{
    if (const std::string reason = unavailableReason(); !reason.empty()) {
        error = reason;
        return nullptr;
    }
    std::unique_ptr<LoopDevice> device(new LoopDevice);
    device->sectorSize_ = options.sectorSize;
    if (options.backingFile.empty()) {
        device->folder_ = std::make_unique<TempDir>();
        if (device->folder_->path().empty()) {
            error = "cannot make a temp folder";
            return nullptr;
        }
        device->backingFile_ = device->folder_->file("disk.img");
        if (!makeSparseFile(device->backingFile_, options.sizeBytes, error))
            return nullptr;
        device->backingFile_ = canonical(device->backingFile_);
    } else {
        device->backingFile_ = canonical(options.backingFile);
    }

    const bool partitionScan = options.partitionScan || !options.partitions.empty();
    std::vector<std::string> attach = {"losetup", "--find", "--show",
        "--sector-size", std::to_string(options.sectorSize),
        options.directIo ? "--direct-io=on" : "--direct-io=off"};
    if (partitionScan)
        attach.push_back("--partscan");
    attach.push_back(device->backingFile_);
    const CommandResult attached = runCommand(attach);
    std::string path = attached.output.substr(0, attached.output.find('\n'));
    if (attached.exitStatus != 0 || path.rfind("/dev/loop", 0) != 0) {
        error = describeCommand(attach) + " failed: " + attached.output;
        return nullptr;
    }
    device->path_ = path;
    device->kernelName_ = path.substr(5);

    const std::string diskseq = readSysfsLine("/sys/block/" + device->kernelName_ + "/diskseq");
    const auto [rest, failure] = std::from_chars(diskseq.data(), diskseq.data() + diskseq.size(), device->diskseq_);
    if (failure != std::errc() || diskseq.empty()) {
        error = "no diskseq for " + path;
        return nullptr;
    }

    if (!options.partitions.empty() && !device->writePartitionTable(options, error))
        return nullptr;
    return device;
}

bool LoopDevice::writePartitionTable(const Options& options, std::string& error)
{
    std::string script = "label: " + options.label + "\n";
    for (const Partition& partition : options.partitions) {
        if (partition.sizeMiB != 0)
            script += "size=" + std::to_string(partition.sizeMiB) + "MiB, ";
        script += "type=" + partition.type + "\n";
    }
    const std::vector<std::string> sfdisk = {"sfdisk", "--quiet", "--wipe", "always", path_};
    const CommandResult written = runCommand(sfdisk, script);
    if (written.exitStatus != 0) {
        error = describeCommand(sfdisk) + " failed: " + written.output;
        return false;
    }
    return collectPartitions(options.partitions.size(), error);
}

bool LoopDevice::collectPartitions(std::size_t expected, std::string& error)
{
    const auto listPartitions = [this] {
        std::vector<std::pair<unsigned, std::string>> found;
        std::error_code failure;
        for (const auto& entry : std::filesystem::directory_iterator("/sys/block/" + kernelName_, failure)) {
            const std::string name = entry.path().filename().string();
            if (const unsigned number = partitionNumber(name, kernelName_); number != 0)
                found.emplace_back(number, name);
        }
        std::sort(found.begin(), found.end());
        return found;
    };

    auto found = listPartitions();
    if (found.size() < expected) {
        // Kernels without partition-table parsers find nothing on a rescan;
        // partx adds the partitions one by one (BLKPG).
        const std::vector<std::string> partx = {"partx", "--add", path_};
        const CommandResult added = runCommand(partx);
        found = listPartitions();
        if (found.size() < expected) {
            error = describeCommand(partx) + " left " + std::to_string(found.size()) + " of " +
                std::to_string(expected) + " partitions: " + added.output;
            return false;
        }
    }
    for (const auto& [number, name] : found)
        partitionNames_.push_back(name);
    return true;
}

LoopDevice::~LoopDevice()
{
    if (path_.empty())
        return;
    // Another test may have been given this number if ours was detached
    // behind our back; detach only a device still backed by our file.
    const std::string backing = readSysfsLine("/sys/block/" + kernelName_ + "/loop/backing_file");
    if (!backing.empty() && canonical(backing) == backingFile_)
        runCommand({"losetup", "--detach", path_});
}

} // namespace orvel::test
