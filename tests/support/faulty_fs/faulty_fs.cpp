// orvel-faulty-fs: a FUSE file system that serves one file, "disk.img", with
// the bytes of a backing file, except that any read (or write) touching a
// chosen sector fails as a whole with EIO, as on a failing disk. Attached as a
// loop device it gives a real kernel block device with unreadable and
// unwritable sectors for the copy engine's tests and benchmarks. Every request
// reaches this process (direct_io: the kernel caches nothing), and a second
// file, "stats", reports what was asked of the disk (see transfer_stats.h).
//
// By hand, as root (the program stays in the foreground; end it with Ctrl+C or
// `fusermount3 -u MOUNTPOINT` once the loop device is detached):
//
//   truncate -s 64M /tmp/backing.img && mkdir -p /tmp/faulty
//   orvel-faulty-fs /tmp/faulty --backing=/tmp/backing.img --sector-size=512
//       --fail-reads=100,2048-2055 --fail-writes=4096 &   (one line)
//   losetup --find --show --sector-size 512 --direct-io=on /tmp/faulty/disk.img
//   dd if=/dev/loopN of=/dev/null bs=512 skip=100 count=1 iflag=direct  # EIO
//   cat /tmp/faulty/stats
//   losetup --detach /dev/loopN && fusermount3 -u /tmp/faulty

#define FUSE_USE_VERSION 31

#include "sector_ranges.h"
#include "transfer_stats.h"

#include <fuse.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace orvel::faulty_fs {
namespace {

constexpr std::string_view kDiskPath = "/disk.img";
constexpr std::string_view kStatsPath = "/stats";

constexpr const char* kUsage =
    "usage: orvel-faulty-fs MOUNTPOINT --backing=FILE [options] [FUSE options]\n"
    "\n"
    "Serves MOUNTPOINT/disk.img with the bytes of FILE; reads or writes that touch\n"
    "a listed sector fail with EIO. MOUNTPOINT/stats reports the requests seen.\n"
    "Runs in the foreground until unmounted or interrupted.\n"
    "\n"
    "  --backing=FILE        the file that holds the disk's bytes (required)\n"
    "  --sector-size=N       512 (default) or 4096\n"
    "  --fail-reads=LIST     sectors whose reads fail, e.g. 7,100-103\n"
    "  --fail-writes=LIST    sectors whose writes fail\n"
    "  --flip-reads=LIST     sectors read back with their first byte inverted,\n"
    "                        without an error (a disk that silently corrupts)\n"
    "  --exit-with-parent    unmount and exit when the starting process ends\n"
    "\n";

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

struct Disk {
    int backingFd = -1;
    std::uint64_t sizeBytes = 0;
    std::uint32_t sectorSize = 512;
    std::vector<SectorRange> failingReads;
    std::vector<SectorRange> failingWrites;
    std::vector<SectorRange> flippedReads;
    TransferStats* stats = nullptr;
};

Disk& disk()
{
    return *static_cast<Disk*>(fuse_get_context()->private_data);
}

// Moves `size` bytes unless the backing file ends first; -errno on failure.
// `transfer(done)` moves what is left after the first `done` bytes.
template <typename Transfer>
int transferAll(std::size_t size, Transfer transfer)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t moved = transfer(done);
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved < 0)
            return -errno;
        if (moved == 0)
            break;
        done += static_cast<std::size_t>(moved);
    }
    return static_cast<int>(done);
}

// The snapshot of the stats report that an open of "stats" keeps in fi->fh.
std::string* statsSnapshot(const fuse_file_info* fi)
{
    return reinterpret_cast<std::string*>(static_cast<std::uintptr_t>(fi->fh));
}

void* initialise(fuse_conn_info*, fuse_config* config)
{
    // No page cache: every read and write of disk.img reaches this process, so
    // a failing sector fails every time it is asked for.
    config->direct_io = 1;
    config->kernel_cache = 0;
    config->auto_cache = 0;
    return fuse_get_context()->private_data;
}

int getAttributes(const char* path, struct stat* attributes, fuse_file_info*)
{
    *attributes = {};
    if (path == std::string_view("/")) {
        attributes->st_mode = S_IFDIR | 0755;
        attributes->st_nlink = 2;
    } else if (path == kDiskPath) {
        attributes->st_mode = S_IFREG | 0644;
        attributes->st_nlink = 1;
        attributes->st_size = static_cast<off_t>(disk().sizeBytes);
    } else if (path == kStatsPath) {
        // Its length is known only when it is opened; direct_io reads it to its end anyway.
        attributes->st_mode = S_IFREG | 0444;
        attributes->st_nlink = 1;
    } else {
        return -ENOENT;
    }
    return 0;
}

int listDirectory(const char* path, void* entries, fuse_fill_dir_t add, off_t, fuse_file_info*, fuse_readdir_flags)
{
    if (path != std::string_view("/"))
        return -ENOENT;
    for (const char* name : {".", "..", kDiskPath.data() + 1, kStatsPath.data() + 1})
        add(entries, name, nullptr, 0, fuse_fill_dir_flags{});
    return 0;
}

int openFile(const char* path, fuse_file_info* fi)
{
    if (path == kDiskPath)
        return 0;
    if (path != kStatsPath)
        return -ENOENT;
    if ((fi->flags & O_ACCMODE) != O_RDONLY)
        return -EACCES;
    auto snapshot = std::make_unique<std::string>(disk().stats->report());
    fi->fh = reinterpret_cast<std::uintptr_t>(snapshot.release());
    return 0;
}

int releaseFile(const char* path, fuse_file_info* fi)
{
    if (path == kStatsPath)
        std::unique_ptr<std::string>(statsSnapshot(fi)).reset();
    return 0;
}

int readFile(const char* path, char* buffer, std::size_t size, off_t offset, fuse_file_info* fi)
{
    if (offset < 0)
        return -EINVAL;
    if (path == kStatsPath) {
        const std::string& text = *statsSnapshot(fi);
        if (static_cast<std::uint64_t>(offset) >= text.size())
            return 0;
        const std::size_t count = std::min(size, text.size() - static_cast<std::size_t>(offset));
        std::memcpy(buffer, text.data() + offset, count);
        return static_cast<int>(count);
    }

    const Disk& served = disk();
    const auto start = static_cast<std::uint64_t>(offset);
    if (size == 0 || start >= served.sizeBytes)
        return 0;
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, served.sizeBytes - start));
    const std::uint64_t first = start / served.sectorSize;
    const std::uint64_t last = (start + size - 1) / served.sectorSize;
    const bool failing = touchesAny(served.failingReads, first, last);
    served.stats->recordRead(first, last, failing);
    if (failing)
        return -EIO;
    const int read = transferAll(size, [&](std::size_t done) {
        return ::pread(served.backingFd, buffer + done, size - done, offset + static_cast<off_t>(done));
    });
    for (std::uint64_t sector = first; read > 0 && sector <= last; ++sector) {
        const std::uint64_t at = sector * served.sectorSize;
        if (at >= start && at < start + static_cast<std::uint64_t>(read) && touchesAny(served.flippedReads, sector, sector))
            buffer[at - start] = static_cast<char>(~buffer[at - start]);
    }
    return read;
}

int writeFile(const char*, const char* buffer, std::size_t size, off_t offset, fuse_file_info*)
{
    if (offset < 0)
        return -EINVAL;
    const Disk& served = disk();
    const auto start = static_cast<std::uint64_t>(offset);
    if (size == 0)
        return 0;
    // A disk does not grow: a write that starts past its end has no room.
    if (start >= served.sizeBytes)
        return -ENOSPC;
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, served.sizeBytes - start));
    const std::uint64_t first = start / served.sectorSize;
    const std::uint64_t last = (start + size - 1) / served.sectorSize;
    const bool failing = touchesAny(served.failingWrites, first, last);
    served.stats->recordWrite(first, last, failing);
    if (failing)
        return -EIO;
    return transferAll(size, [&](std::size_t done) {
        return ::pwrite(served.backingFd, buffer + done, size - done, offset + static_cast<off_t>(done));
    });
}

int syncFile(const char*, int, fuse_file_info*)
{
    return ::fdatasync(disk().backingFd) == 0 ? 0 : -errno;
}

// What the command line asks for; fuse_opt_parse fills the strings with malloc'ed copies.
struct Options {
    char* backing = nullptr;
    char* failReads = nullptr;
    char* failWrites = nullptr;
    char* flipReads = nullptr;
    unsigned sectorSize = 512;
    int exitWithParent = 0;
    int help = 0;

    Options() = default;
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;
    ~Options()
    {
        std::free(backing);
        std::free(failReads);
        std::free(failWrites);
        std::free(flipReads);
    }
};

const fuse_opt kOptionTemplates[] = {
    {"--backing=%s", offsetof(Options, backing), 0},
    {"--sector-size=%u", offsetof(Options, sectorSize), 0},
    {"--fail-reads=%s", offsetof(Options, failReads), 0},
    {"--fail-writes=%s", offsetof(Options, failWrites), 0},
    {"--flip-reads=%s", offsetof(Options, flipReads), 0},
    {"--exit-with-parent", offsetof(Options, exitWithParent), 1},
    {"-h", offsetof(Options, help), 1},
    {"--help", offsetof(Options, help), 1},
    FUSE_OPT_END,
};

struct Arguments {
    fuse_args args;
    explicit Arguments(int argc, char** argv) : args(FUSE_ARGS_INIT(argc, argv)) {}
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;
    ~Arguments() { fuse_opt_free_args(&args); }
};

std::optional<std::vector<SectorRange>> sectorList(const char* text, const char* option)
{
    auto ranges = parseSectorRanges(text == nullptr ? "" : text);
    if (!ranges)
        std::fprintf(stderr, "orvel-faulty-fs: %s: not a sector list: %s\n", option, text);
    return ranges;
}

int run(int argc, char** argv)
{
    Arguments arguments(argc, argv);
    Options options;
    if (fuse_opt_parse(&arguments.args, &options, kOptionTemplates, nullptr) != 0)
        return 2;
    if (options.help != 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.backing == nullptr) {
        std::fprintf(stderr, "orvel-faulty-fs: --backing=FILE is required\n\n%s", kUsage);
        return 2;
    }
    if (options.sectorSize != 512 && options.sectorSize != 4096) {
        std::fprintf(stderr, "orvel-faulty-fs: the sector size must be 512 or 4096\n");
        return 2;
    }
    auto failingReads = sectorList(options.failReads, "--fail-reads");
    auto failingWrites = sectorList(options.failWrites, "--fail-writes");
    auto flippedReads = sectorList(options.flipReads, "--flip-reads");
    if (!failingReads || !failingWrites || !flippedReads)
        return 2;

    const FileDescriptor backing(::open(options.backing, O_RDWR | O_CLOEXEC));
    struct stat backingAttributes = {};
    if (backing.get() < 0 || ::fstat(backing.get(), &backingAttributes) != 0) {
        std::fprintf(stderr, "orvel-faulty-fs: %s: %s\n", options.backing, std::strerror(errno));
        return 1;
    }

    Disk served;
    served.backingFd = backing.get();
    served.sizeBytes = static_cast<std::uint64_t>(backingAttributes.st_size);
    served.sectorSize = options.sectorSize;
    served.failingReads = *failingReads;
    served.failingWrites = std::move(*failingWrites);
    served.flippedReads = std::move(*flippedReads);
    const std::uint64_t sectorCount = (served.sizeBytes + served.sectorSize - 1) / served.sectorSize;
    TransferStats stats(sectorCount, std::move(*failingReads));
    served.stats = &stats;

    fuse_operations operations = {};
    operations.init = initialise;
    operations.getattr = getAttributes;
    operations.readdir = listDirectory;
    operations.open = openFile;
    operations.release = releaseFile;
    operations.read = readFile;
    operations.write = writeFile;
    operations.fsync = syncFile;

    // A test that crashes must not leave its mount behind: SIGTERM ends the
    // serving loop the same way as an unmount.
    if (options.exitWithParent != 0)
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);

    // Foreground, so that whoever started us owns the serving process.
    fuse_opt_add_arg(&arguments.args, "-f");
    fuse_opt_add_arg(&arguments.args, "-ofsname=orvel-faulty-fs,subtype=orvel-faulty-fs");
    return fuse_main(arguments.args.argc, arguments.args.argv, &operations, &served);
}

} // namespace
} // namespace orvel::faulty_fs

int main(int argc, char** argv)
{
    return orvel::faulty_fs::run(argc, argv);
}
