#include "platform/linux/nvme_controller.h"

#include "platform/aligned_buffer.h"
#include "platform/linux/block_names.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <linux/nvme_ioctl.h>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <vector>

namespace orvel {

static_assert(sizeof(nvme_admin_cmd) == kNvmeAdminCommandSize);
static_assert(offsetof(nvme_admin_cmd, nsid) == 4);
static_assert(offsetof(nvme_admin_cmd, addr) == 24);
static_assert(offsetof(nvme_admin_cmd, data_len) == 36);
static_assert(offsetof(nvme_admin_cmd, cdw10) == 40);
static_assert(offsetof(nvme_admin_cmd, timeout_ms) == 64);

namespace {

// "nvme" and digits: a controller's name, not a namespace's ("nvme0n1") nor
// a subsystem's ("nvme-subsys0").
bool isControllerName(std::string_view name)
{
    constexpr std::string_view kPrefix = "nvme";
    if (name.size() <= kPrefix.size() || !name.starts_with(kPrefix))
        return false;
    return std::all_of(name.begin() + kPrefix.size(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string lastComponent(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

NvmeAdminCommand buildHealthLogRequest(std::uint64_t bufferAddress)
{
    return buildGetLogPage(kNvmeHealthLogId, kNvmeAllNamespaces, std::tuple_size_v<NvmeHealthPage>, bufferAddress);
}

} // namespace

std::optional<std::string> findNvmeController(const sysfs::SystemRoots& roots, const std::string& kernelName)
{
    if (!isBareKernelName(kernelName) || !kernelName.starts_with("nvme"))
        return std::nullopt;
    const std::string device = sysfs::resolvedPath(roots.sys + "/block/" + kernelName + "/device");
    if (device.empty())
        return std::nullopt;
    const std::string deviceName = lastComponent(device);
    if (isControllerName(deviceName))
        return deviceName;
    // A multipath namespace hangs below its subsystem, which links to each of
    // its controllers; any of them serves the health log.
    if (!deviceName.starts_with("nvme-subsys"))
        return std::nullopt;
    const std::optional<std::vector<std::string>> entries = sysfs::listFolder(device);
    if (!entries)
        return std::nullopt;
    for (const std::string& entry : *entries)
        if (isControllerName(entry))
            return entry;
    return std::nullopt;
}

std::unique_ptr<NvmeController> NvmeController::open(const std::string& devicePath)
{
    UniqueFd fd(::open(devicePath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        return nullptr;
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISCHR(status.st_mode))
        return nullptr;
    return std::unique_ptr<NvmeController>(new NvmeController(std::move(fd)));
}

std::optional<NvmeHealthPage> NvmeController::readHealthLog() const
{
    NvmeHealthPage page{};
    if (!adminCommand(buildHealthLogRequest, page))
        return std::nullopt;
    return page;
}

std::optional<NvmeControllerIdentity> NvmeController::identify() const
{
    std::array<std::uint8_t, kNvmeIdentifySize> data{};
    if (!adminCommand(buildIdentifyController, data))
        return std::nullopt;
    return parseIdentifyController(data);
}

bool NvmeController::adminCommand(NvmeAdminCommand (*build)(std::uint64_t bufferAddress),
                                  std::span<std::uint8_t> data) const
{
    AlignedBuffer buffer;
    if (!buffer.allocate(data.size()))
        return false;
    std::memset(buffer.data(), 0, data.size());
    const NvmeAdminCommand bytes = build(reinterpret_cast<std::uintptr_t>(buffer.data()));
    nvme_admin_cmd command{};
    std::memcpy(&command, bytes.data(), bytes.size());

    int result;
    do {
        result = ::ioctl(fd_.get(), NVME_IOCTL_ADMIN_CMD, &command);
    } while (result < 0 && errno == EINTR);
    // A positive result is the controller's own error status.
    if (result != 0)
        return false;
    std::copy_n(buffer.data(), data.size(), data.begin());
    return true;
}

} // namespace orvel
