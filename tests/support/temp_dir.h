#pragma once

#include <string>

namespace orvel::test {

// A fresh folder of its own under the system's temp folder, removed with
// everything in it when the object goes. The removal never crosses into a
// file system mounted below the folder: such a mount is left alone.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Empty when the folder could not be made.
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace orvel::test
