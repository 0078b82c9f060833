#include "support/temp_dir.h"

#include <cstdlib>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orvel::test {
namespace {

int removeEntry(const char* path, const struct stat*, int type, struct FTW*)
{
    if (type == FTW_DP)
        ::rmdir(path);
    else
        ::unlink(path);
    return 0;
}

} // namespace

TempDir::TempDir()
{
    std::string base = "/tmp";
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && tmp[0] == '/')
        base = tmp;
    std::string pattern = base + "/orvel-test-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) != nullptr)
        path_ = name.data();
}

TempDir::~TempDir()
{
    if (!path_.empty())
        ::nftw(path_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
}

} // namespace orvel::test
