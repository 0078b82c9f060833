#include "tests/gui/panel_test_support.h"

#include "engine/operation_slots.h"
#include "inventory/drive_inventory.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace orvel::test {

bool waitUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        // A wait nested in the handling of a posted event is not woken for
        // the events queued behind that one; they are sent directly.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void writePatternImage(const std::string& path, std::uint64_t bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    std::vector<std::uint64_t> chunk(1 << 17);
    for (std::uint64_t offset = 0; offset < bytes;) {
        for (std::size_t word = 0; word < chunk.size(); ++word)
            chunk[word] = (offset + word * 8) * 0x9E3779B97F4A7C15ull + 1;
        const std::uint64_t length = std::min<std::uint64_t>(bytes - offset, chunk.size() * 8);
        file.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(length));
        offset += length;
    }
}

std::vector<char> fileHead(const std::string& path, std::uint64_t length)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes(length);
    file.read(bytes.data(), static_cast<std::streamsize>(length));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string describe(const MessageRequest& request)
{
    static const char* const icons[] = {"none", "information", "error", "question", "warning"};
    std::ostringstream line;
    line << request.caption << " | " << icons[static_cast<int>(request.icon)] << " | "
         << (request.buttons == MessageButtons::YesNo ? "yes/no" : "ok") << " | " << request.text;
    return line.str();
}

std::vector<std::string> describe(const std::vector<MessageRequest>& requests)
{
    std::vector<std::string> lines;
    for (const MessageRequest& request : requests)
        lines.push_back(describe(request));
    return lines;
}

void PanelTest::TearDown()
{
    // The host closes its panel and waits for any worker before the slots go.
    host.reset();
    releaseOperationSlots();
    ClearInventory();
    sourceName.clear();
    destinationName.clear();
}

SimPlatform& PanelTest::makeDrives(std::vector<SimDriveSetup> setups)
{
    SimPlatform& platform = sims.make(std::move(setups));
    makeHost(platform);
    return platform;
}

void PanelTest::makeHost(Platform& platform)
{
    host = std::make_unique<RecordingPanelHost>(platform, *boxes, logs.path());
}

void PanelTest::script(std::vector<MessageAnswer> answers)
{
    boxes = std::make_unique<ScriptedMessageBox>(std::move(answers));
    if (host)
        host->useMessageBoxes(*boxes);
}

std::vector<std::string> PanelTest::asked() const
{
    return describe(boxes->requests());
}

SimDriveSetup PanelTest::patternedDrive(std::uint64_t sectors, std::uint32_t sectorSize)
{
    SimDriveSetup setup = simDrive(sectors, sectorSize);
    setup.model = "Pattern Disk " + std::to_string(patternedDrives_);
    setup.imagePath = files.file("pattern-" + std::to_string(patternedDrives_++) + ".img");
    writePatternImage(setup.imagePath, setup.sizeBytes);
    return setup;
}

} // namespace orvel::test
