// The whole command line, from the global options through each subcommand's
// arguments, on simulated drives. Input: the arguments, each ended by a NUL
// byte.
//
// Nothing may reach a real disk or write a file: every run gets --demo with
// a small scenario of this process's own and --log-dir in its own folder,
// --yes, --demo and --log-dir are taken out of the input, and standard input
// is /dev/null, so the confirmation question is always answered No.
#include "cli/command_line.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_temp_folder.h"
#include "inventory/drive_inventory.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <span>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

using orvel::fuzz::require;

namespace {

constexpr std::size_t kMostArguments = 16;

const std::filesystem::path& fuzzFolder()
{
    static const orvel::fuzz::TempFolder folder("orvel-fuzz-command-line");
    return folder.path();
}

std::filesystem::path scenarioFolder() { return fuzzFolder() / "scenario"; }
std::filesystem::path logFolder() { return fuzzFolder() / "logs"; }

// Swallows the program's output; libFuzzer's own goes through stdio.
class DiscardingBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void writeFile(const std::filesystem::path& file, std::string_view content)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
}

// A S.M.A.R.T. data block with reallocated sectors (5) and a temperature (194).
std::string smartDataBlock()
{
    std::string block(512, '\0');
    const unsigned char entries[2][12] = {{0x05, 0x33, 0x00, 100, 100, 8, 0, 0, 0, 0, 0, 0},
                                          {0xC2, 0x22, 0x00, 64, 50, 36, 0, 0, 0, 0, 0, 0}};
    for (std::size_t i = 0; i < 2; ++i)
        std::copy(std::begin(entries[i]), std::end(entries[i]), block.begin() + 2 + 12 * static_cast<std::ptrdiff_t>(i));
    return block;
}

void writeScenario()
{
    writeFile(scenarioFolder() / "1-disk" / "drive.ini",
              "model = Fuzz Disk FD-1\nserial = FUZZ0001\nsize = 1 MiB\ninterface = IDE\nbadSectors = 7, 100-103\n"
              "volumes = fza1:64:1024; fza2:1100:900\n");
    writeFile(scenarioFolder() / "1-disk" / "smart-data.bin", smartDataBlock());
    writeFile(scenarioFolder() / "1-disk" / "smart-thresholds.bin", std::string(512, '\0'));
    writeFile(scenarioFolder() / "2-stick" / "drive.ini",
              "model = Fuzz USB Stick FS-2\nserial = FUZZ0002\nsize = 2 MiB\ninterface = USB\n");
    writeFile(scenarioFolder() / "3-advanced" / "drive.ini",
              "model = Fuzz Advanced Disk FA-3\nsize = 1 MiB\nsectorSize = 4096\ninterface = SCSI\n"
              "volumes = fzc1:16:128\n");
}

bool isTakenOut(std::string_view argument)
{
    return argument == "--yes" || argument == "-y" || argument.starts_with("--demo")
        || argument.starts_with("--log-dir");
}

std::vector<char*> pointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    return pointers;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (std::freopen("/dev/null", "r", stdin) == nullptr) {
        std::perror("command_line_fuzz: /dev/null as standard input");
        std::abort();
    }
    ::setenv("XDG_CACHE_HOME", (fuzzFolder() / "cache").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (fuzzFolder() / "state").c_str(), 1);
    writeScenario();
    std::filesystem::create_directories(logFolder());
    static DiscardingBuffer discard;
    std::cout.rdbuf(&discard);
    std::cerr.rdbuf(&discard);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    std::vector<std::string> given{"orvel-disk-image"};
    std::string_view rest(reinterpret_cast<const char*>(input), size);
    while (!rest.empty() && given.size() <= kMostArguments) {
        const std::size_t end = std::min(rest.find('\0'), rest.size());
        given.emplace_back(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    std::vector<char*> givenPointers = pointersTo(given);
    orvel::cli::isCommandLineInvocation(givenPointers);

    std::vector<std::string> arguments{given.front(), "--demo=" + scenarioFolder().string(),
                                       "--log-dir=" + logFolder().string()};
    for (std::size_t at = 1; at < given.size(); ++at)
        if (!isTakenOut(given[at]))
            arguments.push_back(given[at]);
    std::vector<char*> pointers = pointersTo(arguments);
    const int status = orvel::cli::runCommandLine(pointers);

    require(status >= orvel::cli::kExitCompleted && status <= orvel::cli::kExitCancelled,
            "the exit status is one the usage names");
    require(orvel::physicalDrives.empty() && orvel::volumes.empty(),
            "every command clears the drive lists it filled");
    require(std::filesystem::is_empty(logFolder()), "no operation runs unasked: no log was written");
    return 0;
}
