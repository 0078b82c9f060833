#include "engine/copy_worker.h"

#include "engine/operation_slots.h"
#include "sim_copy_fixture.h"

#include "support/recording_observer.h"
#include "support/sim_platform_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

namespace orvel::test {
namespace {

using Kind = RecordingObserver::EventKind;

class CopyWorkerTest : public ::testing::Test {
protected:
    void TearDown() override { releaseOperationSlots(); }

    // Fills the slots as the cloning panel does, for a whole-drive clone.
    void setUpClone(SimDriveSetup sourceSetup, SimDriveSetup destinationSetup)
    {
        sourceSetup.imagePath = files.file("source.img");
        writePatternFile(sourceSetup.imagePath.string(), sourceSetup.sizeBytes / sourceSetup.sectorSize, sourceSetup.sectorSize);
        SimPlatform& platform = sims.make({std::move(sourceSetup), std::move(destinationSetup)});
        sourceDevice = std::make_unique<DiskDevice>();
        destinationDevice = std::make_unique<DiskDevice>();
        ASSERT_TRUE(openDevice(*sourceDevice, platform.devices(), "0", OpenMode::ReadOnly));
        ASSERT_TRUE(openDevice(*destinationDevice, platform.devices(), "1", OpenMode::ReadWrite));
        currentJob = std::make_unique<CopyJob>();
        currentJob->endBytes = sourceDevice->endSector * sourceDevice->sectorSize;
        sourceName = "Sim Disk 0";
        destinationName = "Sim Disk 1";
        probeReads = platform.simulatedDrive(0).events().size();
    }

    WorkerSettings settings(bool forwardCopy = true)
    {
        return {observer, gate, forwardCopy, true, logs.path()};
    }

    std::vector<SimEvent> sourceEvents()
    {
        std::vector<SimEvent> events = sims.platform().simulatedDrive(0).events();
        events.erase(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(probeReads));
        return events;
    }

    void expectSlotsEmpty()
    {
        EXPECT_EQ(sourceDevice, nullptr);
        EXPECT_EQ(destinationDevice, nullptr);
        EXPECT_EQ(currentJob, nullptr);
    }

    SimPlatformFixture sims;
    TempDir files;
    TempDir logs;
    RecordingObserver observer;
    PauseGate gate;
    std::size_t probeReads = 0;
};

TEST_F(CopyWorkerTest, CompletedCloneTellsTheOperatorGoesHomeOpensTheLogAndEmptiesTheSlots)
{
    setUpClone(simDrive(1000), simDrive(1000));

    CopyWorker worker(settings());
    const OperationResult result = worker.wait();

    EXPECT_TRUE(worker.finished());
    EXPECT_EQ(result.outcome, CopyOutcome::Completed);
    EXPECT_EQ(result.sectorsCopied, 1000u);
    EXPECT_EQ(result.badSectors, 0u);
    EXPECT_EQ(result.logPath, logs.file("Sim Disk 0.log"));
    EXPECT_EQ(logFileName, result.logPath);

    const std::vector<Kind> kinds = observer.eventKinds();
    ASSERT_GE(kinds.size(), 5u);
    EXPECT_EQ(std::vector<Kind>(kinds.end() - 5, kinds.end()),
              (std::vector<Kind>{Kind::KillTimer, Kind::KillTimer, Kind::Message, Kind::Home, Kind::OpenLog}));
    ASSERT_EQ(observer.messages().size(), 1u);
    EXPECT_EQ(observer.messages()[0].text, "Operation is completed.");
    EXPECT_EQ(observer.messages()[0].caption, "Orvel Disk Image");
    EXPECT_EQ(observer.messages()[0].icon, MessageIcon::Information);
    EXPECT_EQ(observer.events().back().text, result.logPath);

    const std::string log = readTextFile(result.logPath);
    EXPECT_NE(log.find("Sim Disk 0 --------> Sim Disk 1\r\n"), std::string::npos);
    EXPECT_NE(log.find("Operation successfully completed.\r\n1000 Sector(s) copied.\r\n"), std::string::npos);
    expectSlotsEmpty();
}

TEST_F(CopyWorkerTest, RefusedDestinationIsReportedAsAFailure)
{
    SimDriveSetup destinationSetup = simDrive(1000);
    destinationSetup.faults.layoutDeletionFails = true;
    setUpClone(simDrive(1000), destinationSetup);

    const OperationResult result = copyThreadProc(settings());

    EXPECT_EQ(result.outcome, CopyOutcome::Failed);
    EXPECT_EQ(observer.eventKinds(),
              (std::vector<Kind>{Kind::Message, Kind::KillTimer, Kind::Message, Kind::Home, Kind::OpenLog}));
    const std::vector<MessageRequest> messages = observer.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Access denied.");
    EXPECT_EQ(messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(messages[1].text, "Operation failed. See the log for details.");
    EXPECT_EQ(messages[1].caption, "Orvel Disk Image");
    EXPECT_EQ(messages[1].icon, MessageIcon::Error);
    const std::string log = readTextFile(result.logPath);
    EXPECT_NE(log.find("End Sector :  999\r\n"), std::string::npos);
    EXPECT_EQ(log.find("Operation"), std::string::npos);
    expectSlotsEmpty();
}

TEST_F(CopyWorkerTest, WithoutALogNothingIsWritten)
{
    setUpClone(simDrive(1000), simDrive(1000));
    std::ofstream(files.file("not-a-folder")) << "x";
    WorkerSettings refused = settings();
    refused.logDirectory = files.file("not-a-folder/logs");

    const OperationResult result = copyThreadProc(refused);

    EXPECT_EQ(result.outcome, CopyOutcome::Failed);
    EXPECT_EQ(result.logPath, "");
    ASSERT_EQ(observer.messages().size(), 1u);
    EXPECT_EQ(observer.messages()[0].text,
              "Cannot write the log file " + refused.logDirectory + "/Sim Disk 0.log: Not a directory.");
    EXPECT_EQ(observer.messages()[0].icon, MessageIcon::Error);
    EXPECT_EQ(observer.eventKinds(), (std::vector<Kind>{Kind::KillTimer, Kind::Message, Kind::Home}));
    for (const SimEvent& event : sims.platform().simulatedDrive(1).events())
        EXPECT_EQ(event.kind, SimEventKind::Read) << "the destination was changed";
    expectSlotsEmpty();
}

TEST_F(CopyWorkerTest, DestinationThatRefusesWritesNeverEndsAsCompleted)
{
    SimDriveSetup destinationSetup = simDrive(1000);
    destinationSetup.faults.failingWrites = {{0, 1000}};
    setUpClone(simDrive(1000), destinationSetup);

    const OperationResult result = copyThreadProc(settings());

    EXPECT_EQ(result.outcome, CopyOutcome::Failed);
    EXPECT_EQ(result.sectorsCopied, 0u);
    ASSERT_EQ(observer.messages().size(), 1u);
    EXPECT_EQ(observer.messages()[0].text, "Operation failed. See the log for details.");
    const std::string log = readTextFile(result.logPath);
    EXPECT_EQ(log.find("successfully"), std::string::npos);
    EXPECT_NE(log.find("Write error encountered. Sector No.\t:\t0\r\nOperation failed.\r\n"), std::string::npos);
}

TEST_F(CopyWorkerTest, CancelledOperationStillEndsWithOperationIsCompleted)
{
    setUpClone(simDrive(70000), simDrive(70000));
    observer.cancelAtProgress(*currentJob, 1);

    const OperationResult result = copyThreadProc(settings());

    EXPECT_EQ(result.outcome, CopyOutcome::Cancelled);
    ASSERT_EQ(observer.messages().size(), 1u);
    EXPECT_EQ(observer.messages()[0].text, "Operation is completed.");
    EXPECT_EQ(observer.count(Kind::Home), 1u);
    EXPECT_EQ(observer.count(Kind::OpenLog), 1u);
    EXPECT_NE(readTextFile(result.logPath).find("Operation Cancelled.\r\n0 Sector(s) copied.\r\n"), std::string::npos);
    expectSlotsEmpty();
}

TEST_F(CopyWorkerTest, ReverseIsChosenByTheCallersFlag)
{
    setUpClone(simDrive(65537), simDrive(65537));

    const OperationResult result = copyThreadProc(settings(false));

    EXPECT_EQ(result.outcome, CopyOutcome::Completed);
    const std::vector<SimEvent> events = sourceEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().firstSector, 65536u);
    EXPECT_EQ(events.front().sectorCount, 1u);
}

TEST_F(CopyWorkerTest, PausedWorkerWaitsAtItsNextCheckUntilTheQuestionIsAnswered)
{
    setUpClone(simDrive(70000), simDrive(70000));
    std::mutex mutex;
    std::condition_variable asked;
    bool paused = false;
    // As the progress window's Cancel does: pause, and let the question be asked elsewhere.
    observer.onProgress = [&](std::size_t number) {
        if (number != 1)
            return;
        gate.pause();
        const std::lock_guard lock(mutex);
        paused = true;
        asked.notify_one();
    };
    CopyJob& job = *currentJob;

    CopyWorker worker(settings());
    {
        std::unique_lock lock(mutex);
        asked.wait(lock, [&] { return paused; });
    }
    // The operator answers Yes: the state is set, then the worker goes on.
    job.state = JobState::CancelRequested;
    gate.resume();
    const OperationResult result = worker.wait();

    EXPECT_EQ(result.outcome, CopyOutcome::Cancelled);
    EXPECT_TRUE(sourceEvents().empty()) << "the first block was read while the question was open";
}

TEST_F(CopyWorkerTest, WithoutAPreparedOperationNothingIsCopiedOrShown)
{
    const OperationResult result = copyThreadProc(settings());

    EXPECT_EQ(result.outcome, CopyOutcome::Failed);
    EXPECT_EQ(observer.eventKinds(), (std::vector<Kind>{Kind::KillTimer}));
    EXPECT_TRUE(result.logPath.empty());
}

// A drive pulled while the worker copies (here as the second block is
// written, with more read ahead): the operation must end promptly as a
// failure rather than grind through the rest of the disk sector by sector.
TEST_F(CopyWorkerTest, DriveRemovedDuringARunEndsWithinSeconds)
{
    setUpClone(simDrive(8 * 65536), simDrive(8 * 65536));
    std::atomic<std::chrono::steady_clock::time_point> pulled{};
    hookHandle(*destinationDevice, {{},
                                    [&](std::uint64_t offset, std::uint32_t) {
                                        if (offset != 65536u * 512)
                                            return;
                                        sims.platform().simulatedDrive(0).disappear();
                                        pulled = std::chrono::steady_clock::now();
                                    },
                                    {}});

    CopyWorker worker(settings());
    const OperationResult& result = worker.wait();
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - pulled.load()).count();

    EXPECT_EQ(result.outcome, CopyOutcome::Failed);
    EXPECT_LT(seconds, 10.0);
    EXPECT_EQ(result.badSectors, 0u);
    const std::string log = readTextFile(result.logPath);
    EXPECT_NE(log.find("Device lost. Sector No.\t:\t"), std::string::npos) << log;
    EXPECT_NE(log.find("Operation failed.\r\n"), std::string::npos);
    ASSERT_FALSE(observer.messages().empty());
    EXPECT_EQ(observer.messages().back().text, "Operation failed. See the log for details.");
    expectSlotsEmpty();
}

} // namespace
} // namespace orvel::test
