#include "support/faulty_disk.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace orvel::test {
namespace {

#ifdef ORVEL_FAULTY_FS
constexpr const char* kServerProgram = ORVEL_FAULTY_FS;
#else
constexpr const char* kServerProgram = "";
#endif

constexpr auto kMountWait = std::chrono::seconds(20);
constexpr auto kExitWait = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(10);
constexpr std::size_t kFillChunk = 1u << 20;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

bool writeAll(int fd, const std::uint8_t* data, std::size_t length, std::uint64_t offset)
{
    while (length > 0) {
        const ssize_t written = ::pwrite(fd, data, length, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        length -= static_cast<std::size_t>(written);
        offset += static_cast<std::uint64_t>(written);
    }
    return true;
}

bool makeBackingFile(const std::string& path, std::uint64_t size, bool pattern, std::string& error)
{
    const FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (file.get() < 0 || ::ftruncate(file.get(), static_cast<off_t>(size)) != 0) {
        error = "cannot make the backing file " + path;
        return false;
    }
    for (std::uint64_t offset = 0; pattern && offset < size; offset += kFillChunk) {
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(kFillChunk, size - offset));
        const std::vector<std::uint8_t> bytes = faultyDiskPattern(offset, length);
        if (!writeAll(file.get(), bytes.data(), bytes.size(), offset)) {
            error = "cannot fill the backing file " + path;
            return false;
        }
    }
    return true;
}

// "7,9-11" from {11, 7, 9, 10}: the sector list orvel-faulty-fs takes.
std::string sectorList(std::vector<std::uint64_t> sectors)
{
    std::sort(sectors.begin(), sectors.end());
    sectors.erase(std::unique(sectors.begin(), sectors.end()), sectors.end());
    std::string list;
    for (std::size_t start = 0; start < sectors.size();) {
        std::size_t end = start;
        while (end + 1 < sectors.size() && sectors[end + 1] == sectors[end] + 1)
            ++end;
        list += (list.empty() ? "" : ",") + std::to_string(sectors[start]);
        if (end != start)
            list += "-" + std::to_string(sectors[end]);
        start = end + 1;
    }
    return list;
}

std::string readWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool parseStats(const std::string& text, FaultyDiskStats& stats)
{
    const std::map<std::string, std::uint64_t*> totals = {
        {"read_requests", &stats.readRequests},   {"read_errors", &stats.readErrors},
        {"sectors_read", &stats.sectorsRead},     {"sectors_read_again", &stats.sectorsReadAgain},
        {"write_requests", &stats.writeRequests}, {"write_errors", &stats.writeErrors},
        {"sectors_written", &stats.sectorsWritten},
    };
    std::size_t totalsSeen = 0;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name;
        std::uint64_t first = 0;
        std::uint64_t second = 0;
        if (!(fields >> name >> first))
            return false;
        if (name == "failing_sector_reads" && fields >> second) {
            stats.failingSectorReads[first] = second;
        } else if (const auto total = totals.find(name); total != totals.end()) {
            *total->second = first;
            ++totalsSeen;
        } else {
            return false;
        }
    }
    return totalsSeen == totals.size();
}

} // namespace

std::vector<std::uint8_t> faultyDiskPattern(std::uint64_t offset, std::size_t length)
{
    std::vector<std::uint8_t> bytes(length);
    std::uint64_t word = 0;
    for (std::size_t index = 0; index < length; ++index) {
        const std::uint64_t position = offset + index;
        if (index == 0 || position % 8 == 0) {
            // splitmix64 of the word's number
            word = position / 8 + 0x9E3779B97F4A7C15ull;
            word = (word ^ (word >> 30)) * 0xBF58476D1CE4E5B9ull;
            word = (word ^ (word >> 27)) * 0x94D049BB133111EBull;
            word ^= word >> 31;
        }
        bytes[index] = static_cast<std::uint8_t>(word >> (8 * (position % 8)));
    }
    return bytes;
}

std::string FaultyDisk::unavailableReason()
{
    if (kServerProgram[0] == '\0')
        return "orvel-faulty-fs was not built (libfuse3 was not found)";
    if (::access(kServerProgram, X_OK) != 0)
        return std::string(kServerProgram) + " is missing";
    if (::geteuid() != 0)
        return "FUSE-backed loop devices need root";
    if (::access("/dev/fuse", R_OK | W_OK) != 0)
        return "/dev/fuse is missing (no FUSE support)";
    return LoopDevice::unavailableReason();
}

std::unique_ptr<FaultyDisk> FaultyDisk::create(const Options& options, std::string& error)
{
    if (const std::string reason = unavailableReason(); !reason.empty()) {
        error = reason;
        return nullptr;
    }
    if (options.sectorSize != 512 && options.sectorSize != 4096) {
        error = "the sector size must be 512 or 4096";
        return nullptr;
    }
    std::unique_ptr<FaultyDisk> disk(new FaultyDisk);
    disk->sectorSize_ = options.sectorSize;
    disk->sizeBytes_ = options.sizeBytes;
    disk->folder_ = std::make_unique<TempDir>();
    if (disk->folder_->path().empty()) {
        error = "cannot make a temp folder";
        return nullptr;
    }
    disk->backingFile_ = options.backingFile.empty() ? disk->folder_->file("backing.img") : options.backingFile;
    disk->mountPoint_ = disk->folder_->file("mnt");
    disk->logFile_ = disk->folder_->file("faulty-fs.log");
    if (options.backingFile.empty() && !makeBackingFile(disk->backingFile_, options.sizeBytes, options.pattern, error))
        return nullptr;
    if (::mkdir(disk->mountPoint_.c_str(), 0700) != 0) {
        error = "cannot make the mount point " + disk->mountPoint_;
        return nullptr;
    }
    if (!disk->startServer(options, error) || !disk->waitUntilMounted(error))
        return nullptr;

    LoopDevice::Options loopOptions;
    loopOptions.backingFile = disk->mountPoint_ + "/disk.img";
    loopOptions.sectorSize = options.sectorSize;
    loopOptions.directIo = options.directIo;
    disk->loop_ = LoopDevice::create(loopOptions, error);
    if (!disk->loop_)
        return nullptr;
    return disk;
}

bool FaultyDisk::startServer(const Options& options, std::string& error)
{
    const std::vector<std::string> arguments = {
        kServerProgram,
        mountPoint_,
        "--backing=" + backingFile_,
        "--sector-size=" + std::to_string(options.sectorSize),
        "--fail-reads=" + sectorList(options.failingReads),
        "--fail-writes=" + sectorList(options.failingWrites),
        "--flip-reads=" + sectorList(options.flippedReads),
        "--exit-with-parent",
    };
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    const int failure = ::posix_spawn(&server_, kServerProgram, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0) {
        server_ = -1;
        error = std::string("cannot start ") + kServerProgram;
        return false;
    }
    return true;
}

bool FaultyDisk::waitUntilMounted(std::string& error)
{
    // The mount point is an empty folder until the file system is mounted on it.
    const std::string served = mountPoint_ + "/disk.img";
    const auto deadline = std::chrono::steady_clock::now() + kMountWait;
    while (std::chrono::steady_clock::now() < deadline) {
        struct stat attributes = {};
        if (::stat(served.c_str(), &attributes) == 0) {
            if (static_cast<std::uint64_t>(attributes.st_size) == sizeBytes_)
                return true;
            error = served + " has the wrong size";
            return false;
        }
        int status = 0;
        if (::waitpid(server_, &status, WNOHANG) == server_) {
            server_ = -1;
            error = "orvel-faulty-fs ended before mounting: " + serverLog();
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    error = "orvel-faulty-fs did not mount " + mountPoint_ + " in time: " + serverLog();
    return false;
}

void FaultyDisk::stopServer()
{
    if (server_ < 0)
        return;
    // SIGTERM ends the serving loop, which unmounts (lazily, as root) before exiting.
    ::kill(server_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kExitWait;
    int status = 0;
    while (::waitpid(server_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(server_, SIGKILL);
            ::waitpid(server_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    server_ = -1;
}

FaultyDisk::~FaultyDisk()
{
    // The loop device holds the served file open: it goes first.
    loop_.reset();
    stopServer();
    // A server that had to be killed left its mount behind; only ours is
    // named here, and on a plain folder this fails harmlessly.
    if (!mountPoint_.empty())
        ::umount2(mountPoint_.c_str(), MNT_DETACH);
}

std::vector<std::uint8_t> FaultyDisk::backingBytes(std::uint64_t offset, std::size_t length) const
{
    std::vector<std::uint8_t> bytes(length);
    const FileDescriptor file(::open(backingFile_.c_str(), O_RDONLY | O_CLOEXEC));
    std::size_t done = 0;
    while (file.get() >= 0 && done < length) {
        const ssize_t got = ::pread(file.get(), bytes.data() + done, length - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

std::optional<FaultyDiskStats> FaultyDisk::stats() const
{
    FaultyDiskStats stats;
    if (!parseStats(readWholeFile(mountPoint_ + "/stats"), stats))
        return std::nullopt;
    return stats;
}

std::string FaultyDisk::serverLog() const
{
    return readWholeFile(logFile_);
}

} // namespace orvel::test
