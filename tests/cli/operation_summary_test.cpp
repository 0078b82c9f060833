#include "cli/operation_summary.h"
#include "cli/operation_arguments.h"
#include "cli/terminal_messages.h"

#include <gtest/gtest.h>

#include <sstream>

namespace orvel::cli {
namespace {

DriveInfo physical(std::uint64_t number, const std::string& model, std::uint64_t size)
{
    DriveInfo drive;
    drive.diskIndex = number;
    drive.model = model;
    drive.sizeBytes = size;
    return drive;
}

DriveInfo volume(const std::string& name, std::optional<std::uint64_t> holder, std::uint64_t size)
{
    DriveInfo record;
    record.deviceName = name;
    record.isPhysical = false;
    record.holdingDrive = holder;
    record.sizeBytes = size;
    return record;
}

TEST(OperationSummary, NamesBothSidesTheSectorsAndWhatIsErased)
{
    const std::string disk = describeEntry(physical(0, "Maker Disk", 500107862016), "0");
    const std::string stick = describeEntry(physical(4, "Maker Stick", 1048576), "/dev/sdb");
    const std::string part = describeEntry(volume("sdb1", 4, 1000), "sdb1");
    EXPECT_EQ(disk, "drive 0: Maker Disk, 465.76 GB");
    EXPECT_EQ(stick, "drive 4 (/dev/sdb): Maker Stick, 1.00 MB");
    EXPECT_EQ(part, "volume sdb1 on drive 4, 1000 bytes");
    EXPECT_EQ(describeEntry(volume("loop3p1", std::nullopt, 0), "/dev/loop3p1"), "volume loop3p1, size unknown");

    struct Case {
        OperationPlan plan;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{.source = disk, .destination = part, .mode = AreaMode::Reverse},
         "Source:      drive 0: Maker Disk, 465.76 GB\n"
         "Destination: volume sdb1 on drive 4, 1000 bytes\n"
         "Sectors:     the whole source, from its last sector down to its first\n"},
        {{.source = part,
          .destination = stick,
          .destinationIsDrive = true,
          .mode = AreaMode::Range,
          .sourceStart = 1000,
          .destinationStart = 5000,
          .count = 3000},
         "Source:      volume sdb1 on drive 4, 1000 bytes\n"
         "Destination: drive 4 (/dev/sdb): Maker Stick, 1.00 MB\n"
         "             Its partition table will be erased first.\n"
         "Sectors:     source sectors 1000 to 3999 onto destination sectors 5000 to 7999 (3000 sectors), "
         "first to last\n"},
        {{.source = disk,
          .destination = part,
          .mode = AreaMode::Range,
          .sourceStart = 9223372036854775807u,
          .destinationStart = 0,
          .count = 1},
         "Source:      drive 0: Maker Disk, 465.76 GB\n"
         "Destination: volume sdb1 on drive 4, 1000 bytes\n"
         "Sectors:     source sector 9223372036854775807 onto destination sector 0 (1 sector), first to last\n"},
        {{.source = disk, .destination = describeImageFile("/mnt/backup/disk.img", true)},
         "Source:      drive 0: Maker Disk, 465.76 GB\n"
         "Destination: image file /mnt/backup/disk.img, which exists and will be replaced\n"
         "Sectors:     the whole source, from its first sector to its last\n"},
    };
    for (const Case& check : cases)
        EXPECT_EQ(operationSummary(check.plan), check.expected);
    EXPECT_EQ(describeImageFile("/tmp/new.img", false), "image file /tmp/new.img (a new file)");
}

// At the terminal: the summary comes just before the question, a No says
// that nothing was written, and the exit status follows what was shown.
TEST(TerminalQuestion, AnswersAndExitStatuses)
{
    const MessageRequest question{"Are you sure?", "Confirm", MessageIcon::Question, MessageButtons::YesNo};
    struct Case {
        std::string input;
        MessageAnswer answer;
        std::string printed;
        int exitStatus;
    };
    const std::vector<Case> cases = {
        {"y\n", MessageAnswer::Yes, "SUMMARY\nAre you sure? [y/N] ", 2},
        {"n\n", MessageAnswer::No, "SUMMARY\nAre you sure? [y/N] Nothing was written.\n", 3},
        {"", MessageAnswer::No, "SUMMARY\nAre you sure? [y/N] \nNothing was written.\n", 3},
    };
    for (const Case& check : cases) {
        std::ostringstream err;
        std::istringstream in(check.input);
        TerminalMessages messages(err, in, false, true);
        messages.setSummary("SUMMARY\n");
        EXPECT_EQ(messages.show(question), check.answer) << check.input;
        EXPECT_EQ(err.str(), check.printed);
        EXPECT_EQ(exitStatusAfterRefusal(messages), check.exitStatus) << err.str();
    }

    // A refusal with the Error icon (the set-up could not open or create
    // something) is a failure, even when an information message follows.
    std::ostringstream err;
    std::istringstream in;
    TerminalMessages messages(err, in, true, false);
    messages.show({"Failed to create image file.", "Error", MessageIcon::Error, MessageButtons::Ok});
    messages.show({"Please select a drive.", "Information", MessageIcon::Information, MessageButtons::Ok});
    EXPECT_EQ(err.str(), "Error: Failed to create image file.\nPlease select a drive.\n");
    EXPECT_EQ(exitStatusAfterRefusal(messages), 1);
}

} // namespace
} // namespace orvel::cli
