#include "platform/linux/mountinfo.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

constexpr const char* kTable =
    "22 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
    "23 22 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw\n"
    "40 22 7:1 / /media/My\\040Disk rw,relatime shared:30 master:2 - ext4 /dev/loop0p1 rw\n"
    "41 22 7:1 /sub /srv/bind rw,relatime - ext4 /dev/loop0p1 rw\n"
    "42 40 0:50 / /media/My\\040Disk rw,relatime - tmpfs tmpfs rw,size=1024k\n"
    "43 22 0:51 / /mnt/vol rw,relatime - btrfs /dev/loop0p2 rw,space_cache\n";

TEST(LinuxMountInfoTest, ParsesEveryFieldOfALine)
{
    const auto entry = parseMountInfoLine("40 22 7:1 / /media/My\\040Disk rw,relatime shared:30 master:2 - ext4 /dev/loop0p1 rw");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->mountId, 40u);
    EXPECT_EQ(entry->parentId, 22u);
    EXPECT_EQ(entry->major, 7u);
    EXPECT_EQ(entry->minor, 1u);
    EXPECT_EQ(entry->root, "/");
    EXPECT_EQ(entry->mountPoint, "/media/My Disk");
    EXPECT_EQ(entry->fileSystemType, "ext4");
    EXPECT_EQ(entry->source, "/dev/loop0p1");
}

TEST(LinuxMountInfoTest, UndoesOctalEscapesOnly)
{
    EXPECT_EQ(unescapeMountField("/a\\040b\\011c\\012d\\134e"), "/a b\tc\nd\\e");
    EXPECT_EQ(unescapeMountField("/x\\04"), "/x\\04") << "an escape cut short stays as it is";
    EXPECT_EQ(unescapeMountField("/x\\089"), "/x\\089") << "8 and 9 are not octal";
    EXPECT_EQ(unescapeMountField("\\134040"), "\\040") << "an unescaped backslash starts no new escape";
}

TEST(LinuxMountInfoTest, RejectsLinesThatAreNotMountInfo)
{
    for (const char* line : {"", "22 1 254:0 / / rw", "22 1 254:0 / / rw - ext4", "x 1 254:0 / / rw - ext4 /dev/vda rw",
                             "22 1 254-0 / / rw - ext4 /dev/vda rw", "22 1 :0 / / rw - ext4 /dev/vda rw"})
        EXPECT_FALSE(parseMountInfoLine(line).has_value()) << '"' << line << '"';
    std::string table(kTable);
    table += "garbage\n\n";
    EXPECT_EQ(parseMountInfo(table).size(), 6u);
}

TEST(LinuxMountInfoTest, UnmountsTheLatestMountThatNothingCovers)
{
    const std::vector<MountEntry> table = parseMountInfo(kTable);
    const auto ofLoop0p1 = [](const MountEntry& mount) { return mount.major == 7 && mount.minor == 1; };

    // 41 (a bind mount) is the latest and uncovered; 40 lies under the tmpfs 42.
    const auto next = nextMountToRemove(table, ofLoop0p1);
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(table[*next].mountId, 41u);

    std::vector<MountEntry> withoutBind = table;
    withoutBind.erase(withoutBind.begin() + static_cast<std::ptrdiff_t>(*next));
    EXPECT_FALSE(nextMountToRemove(withoutBind, ofLoop0p1).has_value())
        << "unmounting the covered mount's path would remove the tmpfs over it";

    withoutBind.erase(withoutBind.begin() + 3);  // the tmpfs goes
    const auto uncovered = nextMountToRemove(withoutBind, ofLoop0p1);
    ASSERT_TRUE(uncovered.has_value());
    EXPECT_EQ(withoutBind[*uncovered].mountPoint, "/media/My Disk");
}

} // namespace
} // namespace orvel
