#include "platform/linux/wayland_socket.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace orvel {
namespace {

namespace fs = std::filesystem;

// A listening Unix socket at `path`, as a compositor makes its own.
bool makeSocket(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof(address.sun_path) - 1);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);  // the socket file stays behind, which is all the check looks at
    return bound;
}

struct Case {
    const char* what;
    std::string path;
    std::string uid;
    const char* refusal;  // a piece of the reason, or nullptr when accepted
};

// A runtime root of the test's own, in place of /run/user: <root>/<uid>/ is
// this user's folder, <root>/<uid + 1>/ a folder this user made for another.
TEST(WaylandSocketTest, OnlyTheInvokingUsersOwnSocketInTheirRuntimeFolderIsAccepted)
{
    test::TempDir temp;
    ASSERT_FALSE(temp.path().empty());
    const std::string root = fs::canonical(temp.path()).string() + "/run/user";
    const std::string me = std::to_string(::getuid());
    const std::string other = std::to_string(::getuid() + 1);
    const std::string mine = root + "/" + me;
    fs::create_directories(mine + "/sub");
    fs::create_directories(root + "/" + other);
    ASSERT_TRUE(makeSocket(mine + "/wayland-0"));
    ASSERT_TRUE(makeSocket(mine + "/sub/wayland-1"));
    ASSERT_TRUE(makeSocket(root + "/" + other + "/wayland-0"));
    ASSERT_TRUE(makeSocket(temp.file("outside")));
    fs::create_symlink("wayland-0", mine + "/link-0");
    fs::create_symlink(temp.file("outside"), mine + "/link-outside");
    fs::create_directory_symlink("sub", mine + "/linked-sub");
    std::ofstream(mine + "/plain-file") << "not a socket";

    const Case cases[] = {
        {"the user's socket", mine + "/wayland-0", me, nullptr},
        {"a socket in a folder of the user's runtime folder", mine + "/sub/wayland-1", me, nullptr},
        {"a relative name", "wayland-0", me, "is not in"},
        {"the runtime folder itself", mine + "/", me, "is not in"},
        {"another user's folder", root + "/" + other + "/wayland-0", me, "is not in"},
        {"a folder whose name starts with the uid", mine + "0/wayland-0", me, "is not in"},
        {"a socket outside the runtime root", temp.file("outside"), me, "is not in"},
        {"\"..\" leading back into the folder", mine + "/sub/../wayland-0", me, "symbolic link"},
        {"\"..\" leading out of it", mine + "/../" + other + "/wayland-0", me, "symbolic link"},
        {"\".\" in the path", mine + "/./wayland-0", me, "symbolic link"},
        {"a doubled separator", mine + "//wayland-0", me, "symbolic link"},
        {"a link to the user's socket", mine + "/link-0", me, "symbolic link"},
        {"a link to a socket elsewhere", mine + "/link-outside", me, "symbolic link"},
        {"a socket reached through a linked folder", mine + "/linked-sub/wayland-1", me, "symbolic link"},
        {"a missing socket", mine + "/wayland-9", me, "missing"},
        {"a plain file", mine + "/plain-file", me, "is not a socket"},
        {"a folder", mine + "/sub", me, "is not a socket"},
        {"a folder the invoking user does not own", root + "/" + other + "/wayland-0", other,
         "is not a folder of the invoking user"},
        {"no uid", mine + "/wayland-0", "", "is not a user id"},
        {"a signed uid", mine + "/wayland-0", "+" + me, "is not a user id"},
        {"a uid with a tail", mine + "/wayland-0", me + "x", "is not a user id"},
        {"a uid beyond the range", mine + "/wayland-0", "99999999999999999999", "is not a user id"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string refusal = waylandSocketRefusal(c.path, root, c.uid);
        if (c.refusal == nullptr)
            EXPECT_EQ(refusal, "");
        else
            EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
    }
}

// Only root can give a socket to another user.
TEST(WaylandSocketTest, ASocketInTheUsersFolderOwnedBySomeoneElseIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the socket to another user";
    test::TempDir temp;
    ASSERT_FALSE(temp.path().empty());
    const std::string root = fs::canonical(temp.path()).string();
    const uid_t user = 4242;
    const std::string folder = root + "/" + std::to_string(user);
    fs::create_directories(folder);
    ASSERT_TRUE(makeSocket(folder + "/wayland-0"));
    ASSERT_EQ(::chown(folder.c_str(), user, user), 0);
    EXPECT_EQ(waylandSocketRefusal(folder + "/wayland-0", root, std::to_string(user)),
              folder + "/wayland-0 is not the invoking user's");
    ASSERT_EQ(::chown((folder + "/wayland-0").c_str(), user, user), 0);
    EXPECT_EQ(waylandSocketRefusal(folder + "/wayland-0", root, std::to_string(user)), "");
}

} // namespace
} // namespace orvel
