// What the drive catalog makes of a disk's sysfs entries: its kind, interface,
// media type, status and model text. Input: the texts, field after field.
#include "fuzz/fuzz_check.h"
#include "platform/linux/sysfs_disk_properties.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using orvel::fuzz::require;

namespace {

std::optional<std::string> maybeText(FuzzedDataProvider& provider)
{
    if (!provider.ConsumeBool())
        return std::nullopt;
    return provider.ConsumeRandomLengthString(96);
}

// A name of `prefix` and a number, such as "loop3".
bool isNumbered(std::string_view name, std::string_view prefix)
{
    return name.size() > prefix.size() && name.starts_with(prefix)
        && std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    using namespace orvel::sysfs;
    FuzzedDataProvider provider(input, size);
    DiskIdentity identity;
    identity.kernelName = provider.ConsumeRandomLengthString(32);
    identity.vendor = maybeText(provider);
    identity.model = maybeText(provider);
    identity.ataModel = maybeText(provider);
    identity.loopBackingFile = maybeText(provider);
    identity.isVirtio = provider.ConsumeBool();
    const bool removable = provider.ConsumeBool();
    const std::optional<std::string> state = maybeText(provider);
    const std::string path = provider.ConsumeRemainingBytesAsString();

    const std::string_view name = identity.kernelName;
    switch (classifyDiskName(name)) {
    case DiskKind::Ram: require(isNumbered(name, "ram"), "a RAM disk is ram<N>"); break;
    case DiskKind::Zram: require(isNumbered(name, "zram"), "a compressed RAM disk is zram<N>"); break;
    case DiskKind::Loop: require(isNumbered(name, "loop"), "a loop device is loop<N>"); break;
    case DiskKind::Optical: require(isNumbered(name, "sr"), "an optical drive is sr<N>"); break;
    case DiskKind::Disk:
        require(!isNumbered(name, "ram") && !isNumbered(name, "zram") && !isNumbered(name, "loop")
                    && !isNumbered(name, "sr"),
                "a disk is no numbered RAM, loop or optical device");
        break;
    }

    const std::string interfaceType = interfaceTypeFromPath(path);
    require(interfaceType == "USB" || interfaceType == "IDE" || interfaceType == "SCSI",
            "the interface type is USB, IDE or SCSI");
    require(interfaceType != "USB" || path.find("usb") != std::string::npos, "USB needs a usb component");
    require(interfaceType != "IDE" || path.find("ata") != std::string::npos, "IDE needs an ata component");

    const std::string mediaType = mediaTypeFor(removable, interfaceType);
    require(mediaType == "Removable Media" || mediaType == "External hard disk media"
                || mediaType == "Fixed hard disk media",
            "the media type is one of the three texts");

    const std::string status = statusFromDeviceState(state);
    require(status == "OK" || status == "Error", "the status is OK or Error");
    require(state || status == "OK", "a disk without a state is OK");

    require(!modelText(identity).empty(), "every disk gets a model text");
    return 0;
}
