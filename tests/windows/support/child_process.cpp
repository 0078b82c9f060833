#include "windows/support/child_process.h"

#include "platform/windows/wide_text.h"

#include <utility>

namespace orvel::test {

namespace {

// The quoting that the C runtime's command-line parser undoes: quotes
// around an argument with blanks, backslashes doubled where they precede a
// quote.
std::wstring quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring text = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        text += c;
    }
    text.append(backslashes * 2, L'\\');
    return text + L"\"";
}

// A pipe whose two ends may both be inherited; the caller takes back the
// end it keeps.
bool makePipe(windows::UniqueHandle& readEnd, windows::UniqueHandle& writeEnd)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE reading = nullptr;
    HANDLE writing = nullptr;
    if (!::CreatePipe(&reading, &writing, &inheritable, 0))
        return false;
    readEnd = windows::UniqueHandle(reading);
    writeEnd = windows::UniqueHandle(writing);
    return true;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, bool ownProcessGroup)
{
    std::wstring commandLine;
    for (const std::string& argument : arguments) {
        const std::optional<std::wstring> wide = windows::widen(argument);
        if (!wide)
            return;
        commandLine += (commandLine.empty() ? L"" : L" ") + quoted(*wide);
    }

    windows::UniqueHandle inputRead;
    windows::UniqueHandle inputWrite;
    windows::UniqueHandle outputRead;
    windows::UniqueHandle outputWrite;
    if (!makePipe(inputRead, inputWrite) || !makePipe(outputRead, outputWrite))
        return;
    // Only the child's ends are inherited: the child must see the end of its
    // input when this side closes it.
    ::SetHandleInformation(inputWrite.get(), HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(outputRead.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inputRead.get();
    startup.hStdOutput = outputWrite.get();
    startup.hStdError = outputWrite.get();
    PROCESS_INFORMATION created{};
    const DWORD flags = ownProcessGroup ? CREATE_NEW_PROCESS_GROUP : 0;
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup,
                          &created))
        return;
    processId_ = created.dwProcessId;
    ::CloseHandle(created.hThread);
    process_ = windows::UniqueHandle(created.hProcess);
    input_ = std::move(inputWrite);
    output_ = std::move(outputRead);
}

ChildProcess::~ChildProcess()
{
    if (process_ && ::WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0)
        terminate();
}

std::string ChildProcess::readLine()
{
    std::string line;
    char c = 0;
    DWORD got = 0;
    while (output_ && ::ReadFile(output_.get(), &c, 1, &got, nullptr) && got == 1) {
        if (c == '\n')
            break;
        if (c != '\r')
            line += c;
    }
    return line;
}

std::string ChildProcess::readAll()
{
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (output_ && ::ReadFile(output_.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0)
        text.append(chunk, got);
    return text;
}

void ChildProcess::closeInput()
{
    input_ = windows::UniqueHandle();
}

void ChildProcess::terminate()
{
    if (!process_)
        return;
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), INFINITE);
}

int ChildProcess::wait()
{
    if (!process_)
        return -1;
    ::WaitForSingleObject(process_.get(), INFINITE);
    DWORD code = 0;
    if (!::GetExitCodeProcess(process_.get(), &code))
        return -1;
    return static_cast<int>(code);
}

ProgramRun runProgram(const std::vector<std::string>& arguments)
{
    ChildProcess child(arguments);
    child.closeInput();
    ProgramRun run;
    run.output = child.readAll();
    run.exitCode = child.wait();
    return run;
}

} // namespace orvel::test
