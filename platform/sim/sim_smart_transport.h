#pragma once

#include "platform/sim/sim_drive.h"
#include "platform/smart_transport.h"

#include <memory>
#include <vector>

namespace orvel {

// Answers S.M.A.R.T. commands with the blocks stored for each virtual drive,
// and Get Log Page with its NVMe health page.
class SimSmartTransport : public SmartTransport {
public:
    explicit SimSmartTransport(std::vector<std::shared_ptr<SimDrive>> drives);

    std::unique_ptr<SmartDevice> openSmartDevice(std::uint64_t driveNumber) override;
    std::optional<NvmeHealthPage> readNvmeHealthLog(std::uint64_t driveNumber) override;

private:
    std::vector<std::shared_ptr<SimDrive>> drives_;
};

} // namespace orvel
