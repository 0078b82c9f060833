#include "platform/terminal.h"

#include <csignal>
#include <unistd.h>

namespace orvel {

namespace {

volatile std::sig_atomic_t cancelSignal = 0;

extern "C" void rememberCancelSignal(int)
{
    cancelSignal = 1;
}

} // namespace

bool isTerminal(StandardStream stream)
{
    const int descriptor = stream == StandardStream::Input ? STDIN_FILENO
                           : stream == StandardStream::Output ? STDOUT_FILENO
                                                              : STDERR_FILENO;
    return ::isatty(descriptor) == 1;
}

void watchCancelSignals()
{
    struct sigaction action = {};
    action.sa_handler = rememberCancelSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking terminal read returns so the question can end.
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool cancelSignalReceived()
{
    return cancelSignal != 0;
}

} // namespace orvel
