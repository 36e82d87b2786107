// ShellExecuteA and WinExec: documents and links go to the desktop's opener
// (xdg-open), programs are started by their path; neither is waited for.
#include "shell.h"

#include "dos_path.h"
#include "errhandlingapi.h"
#include "shellapi.h"
#include "winbase.h"
#include "winerror.h"
#include "winuser.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::atomic<ShellLauncher*> g_launcher{nullptr};
std::mutex g_beepLock;
std::vector<UINT> g_beeps;

// Windows answers a successful ShellExecute with this value, which callers
// compare with 32 only.
constexpr INT_PTR kShellSuccess = 42;
constexpr INT_PTR kWinExecSuccess = 33;

HINSTANCE AsInstance(INT_PTR code) { return reinterpret_cast<HINSTANCE>(code); }

// "https://...", "mailto:..." but not "C:\..." (one letter is a drive).
bool IsUrl(const std::string& text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2)
        return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!(std::isalnum(c) || c == '+' || c == '-' || c == '.') || (i == 0 && !std::isalpha(c)))
            return false;
    }
    return true;
}

bool IsExecutableFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string FindOnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    if (!path)
        return std::string();
    std::string folders = path;
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + program;
        if (IsExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return std::string();
}

// Where a missing file would be: ERROR_PATH_NOT_FOUND when its folder is
// missing too, else ERROR_FILE_NOT_FOUND, as Windows tells them apart.
INT_PTR MissingFileCode(const std::string& unixPath)
{
    const std::size_t slash = unixPath.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return ERROR_FILE_NOT_FOUND;
    struct stat info {};
    return stat(unixPath.substr(0, slash).c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? ERROR_FILE_NOT_FOUND
                                                                                          : ERROR_PATH_NOT_FOUND;
}

// Starts `program` with `arguments` in its own session and does not wait
// for it: a short-lived middle process is reaped at once, the program is
// left to init. The exec's own failure comes back through a pipe closed on
// exec. Returns 0 or the errno of the failure.
int SpawnDetached(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder)
{
    std::vector<std::string> argvText;
    argvText.push_back(program);
    argvText.insert(argvText.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : argvText)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0)
        return errno;
    const pid_t middle = fork();
    if (middle < 0) {
        const int error = errno;
        close(errorPipe[0]);
        close(errorPipe[1]);
        return error;
    }
    if (middle == 0) {
        // Only async-signal-safe calls from here on.
        close(errorPipe[0]);
        const pid_t child = fork();
        if (child < 0) {
            const int error = errno;
            (void)!write(errorPipe[1], &error, sizeof error);
            _exit(1);
        }
        if (child > 0)
            _exit(0);
        setsid();
        if (!folder.empty() && chdir(folder.c_str()) != 0) {
            const int error = errno;
            (void)!write(errorPipe[1], &error, sizeof error);
            _exit(127);
        }
        // The viewer's chatter does not belong on the host's command line.
        const int devNull = open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            dup2(devNull, STDIN_FILENO);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        execve(argv[0], argv.data(), environ);
        const int error = errno;
        (void)!write(errorPipe[1], &error, sizeof error);
        _exit(127);
    }
    close(errorPipe[1]);
    int status = 0;
    while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    while ((got = read(errorPipe[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(errorPipe[0]);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

INT_PTR CodeOfSpawnError(int error)
{
    switch (error) {
    case 0:
        return -1;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
        return ERROR_ACCESS_DENIED;
    case ENOMEM:
    case EAGAIN:
        return 0; // out of memory or resources
    default:
        return ERROR_BAD_FORMAT;
    }
}

INT_PTR OpenWithDesktop(const std::string& target)
{
    const std::string opener = FindOnPath("xdg-open");
    if (opener.empty())
        return SE_ERR_NOASSOC;
    const INT_PTR failure = CodeOfSpawnError(SpawnDetached(opener, {target}, std::string()));
    return failure < 0 ? kShellSuccess : failure;
}

// Splits a command line as Windows' loader does for the program: a quoted
// first token, else up to the first blank.
void SplitCommandLine(const std::string& line, std::string& program, std::vector<std::string>& arguments)
{
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
    };
    skipBlanks();
    auto token = [&] {
        std::string text;
        bool quoted = false;
        while (i < line.size()) {
            const char c = line[i];
            if (c == '"') {
                quoted = !quoted;
                ++i;
                continue;
            }
            if (!quoted && (c == ' ' || c == '\t'))
                break;
            text += c;
            ++i;
        }
        return text;
    };
    program = token();
    for (skipBlanks(); i < line.size(); skipBlanks())
        arguments.push_back(token());
}

} // namespace

INT_PTR RecordingShellLauncher::launch(const ShellLaunch& launch)
{
    launches.push_back(launch);
    if (!results.empty()) {
        const INT_PTR next = results.front();
        results.erase(results.begin());
        return next;
    }
    return result;
}

ShellLauncher* SetShellLauncher(ShellLauncher* launcher) { return g_launcher.exchange(launcher); }

std::vector<UINT> RecordedBeeps()
{
    std::lock_guard<std::mutex> guard(g_beepLock);
    return g_beeps;
}

void ClearRecordedBeeps()
{
    std::lock_guard<std::mutex> guard(g_beepLock);
    g_beeps.clear();
}

bool DesktopCanOpenDocuments(std::string* opener)
{
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(display && *display) && !(wayland && *wayland))
        return false;
    const std::string found = FindOnPath("xdg-open");
    if (opener)
        *opener = found;
    return !found.empty();
}

BOOL MessageBeep(UINT type)
{
    std::lock_guard<std::mutex> guard(g_beepLock);
    g_beeps.push_back(type);
    return TRUE;
}

HINSTANCE ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT showCommand)
{
    if (ShellLauncher* launcher = g_launcher.load()) {
        ShellLaunch launch;
        launch.kind = ShellLaunch::Kind::ShellExecute;
        launch.verb = operation ? operation : "";
        launch.file = file ? file : "";
        launch.parameters = parameters ? parameters : "";
        launch.directory = directory ? directory : "";
        launch.showCommand = showCommand;
        return AsInstance(launcher->launch(launch));
    }
    if (!file || !*file)
        return AsInstance(ERROR_FILE_NOT_FOUND);
    if (operation && *operation && strcasecmp(operation, "open") != 0)
        return AsInstance(SE_ERR_NOASSOC);
    const std::string target = file;
    if (IsUrl(target))
        return AsInstance(OpenWithDesktop(target));
    const std::string path = UnixPathFromDos(target);
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return AsInstance(MissingFileCode(path));
    // A program is run with the parameters; any other file is a document.
    if (S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0) {
        std::vector<std::string> arguments;
        std::string program;
        if (parameters && *parameters)
            SplitCommandLine(std::string("x ") + parameters, program, arguments);
        const INT_PTR failure = CodeOfSpawnError(
            SpawnDetached(path, arguments, directory ? UnixPathFromDos(directory) : std::string()));
        return AsInstance(failure < 0 ? kShellSuccess : failure);
    }
    return AsInstance(OpenWithDesktop(path));
}

UINT WinExec(LPCSTR commandLine, UINT showCommand)
{
    if (ShellLauncher* launcher = g_launcher.load()) {
        ShellLaunch launch;
        launch.kind = ShellLaunch::Kind::WinExec;
        launch.file = commandLine ? commandLine : "";
        launch.showCommand = static_cast<int>(showCommand);
        return static_cast<UINT>(launcher->launch(launch));
    }
    if (!commandLine)
        return ERROR_FILE_NOT_FOUND;
    std::string program;
    std::vector<std::string> arguments;
    SplitCommandLine(commandLine, program, arguments);
    if (program.empty())
        return ERROR_FILE_NOT_FOUND;
    std::string path = UnixPathFromDos(program);
    if (path.find('/') == std::string::npos) {
        path = FindOnPath(path);
        if (path.empty())
            return ERROR_FILE_NOT_FOUND;
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return static_cast<UINT>(MissingFileCode(path));
    // URLs and paths among the arguments reach the program as it can read them.
    for (std::string& argument : arguments)
        if (!IsUrl(argument) && argument.size() > 2 && argument[1] == ':')
            argument = UnixPathFromDos(argument);
    const INT_PTR failure = CodeOfSpawnError(SpawnDetached(path, arguments, std::string()));
    return failure < 0 ? kWinExecSuccess : static_cast<UINT>(failure);
}
