#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace orvel::test {

// A program started in the background with its output going to a file, for
// tests that must act while it runs (send it a signal). Killed and reaped
// when the object goes, if the test did not wait for it.
class SpawnedProcess {
public:
    SpawnedProcess(const std::vector<std::string>& arguments, const std::string& outputFile);
    ~SpawnedProcess();
    SpawnedProcess(const SpawnedProcess&) = delete;
    SpawnedProcess& operator=(const SpawnedProcess&) = delete;

    bool started() const { return pid_ > 0; }
    void signal(int number);
    // The exit status, or -1 when it died of a signal or could not start.
    int wait();

private:
    pid_t pid_ = -1;
};

// The whole content of a file; empty when it cannot be read.
std::string readWholeFile(const std::string& path);

// Waits up to `seconds` until `path` holds `text`.
bool waitForFileText(const std::string& path, const std::string& text, int seconds);

} // namespace orvel::test
