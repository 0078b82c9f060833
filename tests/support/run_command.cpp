#include "support/run_command.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace orvel::test {
namespace {

void closeIfOpen(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

void writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::string readAll(int fd)
{
    std::string text;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return text;
        text.append(chunk, static_cast<std::size_t>(got));
    }
}

} // namespace

std::string findProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return ::access(name.c_str(), X_OK) == 0 ? name : std::string();
    std::string folders;
    if (const char* path = std::getenv("PATH"))
        folders = path;
    folders += ":/usr/local/sbin:/usr/sbin:/sbin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, end - start);
        start = end + 1;
        if (folder.empty())
            continue;
        const std::string candidate = folder + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

CommandResult runCommand(const std::vector<std::string>& arguments, std::string_view input)
{
    CommandResult result;
    if (arguments.empty())
        return result;
    const std::string program = findProgram(arguments.front());
    if (program.empty()) {
        result.output = arguments.front() + ": not installed";
        return result;
    }

    int inputPipe[2] = {-1, -1};
    int outputPipe[2] = {-1, -1};
    if (::pipe2(inputPipe, O_CLOEXEC) != 0)
        return result;
    if (::pipe2(outputPipe, O_CLOEXEC) != 0) {
        closeIfOpen(inputPipe[0]);
        closeIfOpen(inputPipe[1]);
        return result;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inputPipe[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputPipe[1], STDERR_FILENO);

    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = -1;
    const int spawnError = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    closeIfOpen(inputPipe[0]);
    closeIfOpen(outputPipe[1]);
    if (spawnError != 0) {
        closeIfOpen(inputPipe[1]);
        closeIfOpen(outputPipe[0]);
        result.output = program + ": cannot be started";
        return result;
    }

    // A program that exits without reading its input must not kill us.
    std::signal(SIGPIPE, SIG_IGN);
    writeAll(inputPipe[1], input);
    closeIfOpen(inputPipe[1]);
    result.output = readAll(outputPipe[0]);
    closeIfOpen(outputPipe[0]);

    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return result;
    }
    if (WIFEXITED(status))
        result.exitStatus = WEXITSTATUS(status);
    return result;
}

std::string describeCommand(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty())
            line += ' ';
        line += argument;
    }
    return line;
}

} // namespace orvel::test
