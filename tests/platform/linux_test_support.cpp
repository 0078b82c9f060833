#include "linux_test_support.h"

#include "platform/linux/unique_fd.h"

#include <fcntl.h>
#include <unistd.h>

namespace orvel::test {

std::vector<std::uint8_t> readBackingFile(const LoopDevice& device, std::uint64_t offset, std::size_t bytes)
{
    std::vector<std::uint8_t> data(bytes);
    const UniqueFd fd(::open(device.backingFile().c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd || ::pread(fd.get(), data.data(), bytes, static_cast<off_t>(offset)) != static_cast<ssize_t>(bytes))
        ADD_FAILURE() << "cannot read " << bytes << " bytes at " << offset << " of " << device.backingFile();
    return data;
}

void writeBackingFile(const LoopDevice& device, std::uint64_t offset, const std::vector<std::uint8_t>& bytes)
{
    const UniqueFd fd(::open(device.backingFile().c_str(), O_WRONLY | O_CLOEXEC));
    if (!fd || ::pwrite(fd.get(), bytes.data(), bytes.size(), static_cast<off_t>(offset)) != static_cast<ssize_t>(bytes.size()))
        ADD_FAILURE() << "cannot write " << bytes.size() << " bytes at " << offset << " of " << device.backingFile();
}

} // namespace orvel::test
