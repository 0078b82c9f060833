#include "cli/command_line.h"
#include "cli/progress_line.h"
#include "cli/subcommands.h"
#include "engine/image_check.h"
#include "engine/image_checksum_file.h"
#include "platform/terminal.h"

#include <chrono>
#include <future>
#include <ostream>

namespace orvel::cli {

namespace {

using Clock = std::chrono::steady_clock;

int reportCheck(const ImageCheck& check, const std::string& imagePath, std::ostream& out, std::ostream& err)
{
    switch (check.outcome) {
    case ImageCheckOutcome::Matches:
        out << "The image file matches its checksum (SHA-256 " << check.imageDigest << ").\n";
        return kExitCompleted;
    case ImageCheckOutcome::DiffersFromChecksum:
        err << "Error: The image file does not match its checksum.\n  expected " << check.expectedDigest
            << "\n  image    " << check.imageDigest << '\n';
        return kExitFailed;
    case ImageCheckOutcome::NoChecksumFile:
        err << "Error: " << checksumPathFor(imagePath) << " is missing or holds no SHA-256 digest.\n";
        return kExitFailed;
    case ImageCheckOutcome::ImageUnreadable:
        err << "Error: Failed to open image file.\n";
        return kExitFailed;
    case ImageCheckOutcome::Cancelled:
        break;
    }
    out << "Verification cancelled.\n";
    return kExitCancelled;
}

} // namespace

int runVerifyCommand(CommandContext& context)
{
    bool quiet = false;
    std::erase_if(context.arguments, [&](const std::string& argument) {
        return (argument == "--quiet" || argument == "-q") && (quiet = true);
    });
    for (const std::string& argument : context.arguments) {
        if (argument.starts_with("-")) {
            context.err << "Unknown option \"" << argument << "\" for verify. See --help.\n";
            return kExitUsage;
        }
    }
    if (context.arguments.size() != 1) {
        context.err << "verify needs IMAGE. See --help.\n";
        return kExitUsage;
    }
    const std::string imagePath = context.arguments[0];

    CopyJob job;
    watchCancelSignals();
    std::future<ImageCheck> check = std::async(std::launch::async, [&] {
        return checkImageFile(imagePath, context.platform.devices(), job);
    });
    const bool onTerminal = isTerminal(StandardStream::Output);
    const auto started = Clock::now();
    auto lastLine = started;
    bool lineOpen = false;
    while (check.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready) {
        if (cancelSignalReceived())
            job.state = JobState::CancelRequested;
        const auto now = Clock::now();
        if (quiet || (!onTerminal && now - lastLine < std::chrono::seconds(5)))
            continue;
        lastLine = now;
        const std::string line = progressLine({job.positionBytes.load(), job.endBytes, 0,
                                               std::chrono::duration<double>(now - started).count(), 0, true});
        context.out << (onTerminal ? "\r" : "") << line << (onTerminal ? "\x1b[K" : "\n") << std::flush;
        lineOpen = onTerminal;
    }
    if (lineOpen)
        context.out << '\n';
    return reportCheck(check.get(), imagePath, context.out, context.err);
}

} // namespace orvel::cli
