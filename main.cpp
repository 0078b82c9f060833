#include "cli/command_line.h"

#include <span>

#ifdef ORVEL_WITH_GUI
#include "shell/application.h"
#endif

int main(int argc, char** argv)
{
    const std::span<char*> arguments(argv, static_cast<std::size_t>(argc));
#ifdef ORVEL_WITH_GUI
    if (!orvel::cli::isCommandLineInvocation(arguments))
        return orvel::runApplication(argc, argv);
#endif
    return orvel::cli::runCommandLine(arguments);
}
