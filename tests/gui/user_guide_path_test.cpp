#include "shell/user_guide_path.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvel {
namespace {

namespace fs = std::filesystem;

// A prefix laid out as the Debian package lays it out: bin/ and
// share/doc/orvel-disk-image/.
class UserGuidePathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(temp.path().empty());
        fs::create_directories(bin);
        fs::create_directories(doc);
    }

    static void touch(const fs::path& file) { std::ofstream(file) << "guide"; }

    test::TempDir temp;
    fs::path prefix{temp.path()};
    fs::path bin = prefix / "bin";
    fs::path doc = prefix / "share/doc/orvel-disk-image";
};

TEST_F(UserGuidePathTest, TheGuideBesideTheExecutableComesFirst)
{
    touch(bin / "Orvel Disk Image.html");
    touch(doc / "Orvel Disk Image.html");
    EXPECT_EQ(userGuidePath(bin), bin / "Orvel Disk Image.html");
}

TEST_F(UserGuidePathTest, WithoutOneBesideItTheDocFolderOfThePrefixIsUsed)
{
    touch(doc / "Orvel Disk Image.html");
    EXPECT_EQ(userGuidePath(bin), doc / "Orvel Disk Image.html");
    // A folder name ending in a separator leads to the same file.
    EXPECT_EQ(userGuidePath(bin.string() + "/"), doc / "Orvel Disk Image.html");
}

TEST_F(UserGuidePathTest, WhenNeitherExistsThePlaceBesideTheExecutableIsNamed)
{
    EXPECT_EQ(userGuidePath(bin), bin / "Orvel Disk Image.html");
}

} // namespace
} // namespace orvel
