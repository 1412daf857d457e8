// ShellExecuteExW for URLs and files: starts the desktop's handler for the
// URL's scheme (the desktop entry the stand-in registry gives for
// HKEY_CLASSES_ROOT\<scheme>\shell\open\command) or for the file's type
// (the desktop entry mimeapps.list names for it), with the URL or path as
// one argument, without a shell and without waiting for it.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <errno.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <mutex>
#include <string>
#include <vector>

#include "com_state.h"
#include "platform_process_testing.h"
#include "desktop_exec.h"
#include "registry_desktop.h"

namespace {

constexpr INT_PTR kStarted = 42;
constexpr INT_PTR kBadFormat = 11;  // ERROR_BAD_FORMAT

HINSTANCE Result(INT_PTR code) {
    return reinterpret_cast<HINSTANCE>(code);
}

// The scheme of a URL ("mailto" of "mailto:..."), or "" for anything else.
// One letter before ':' is a drive, not a scheme.
std::string UrlScheme(const char* text) {
    size_t length = 0;
    while (std::isalnum(static_cast<unsigned char>(text[length])) || text[length] == '+' ||
           text[length] == '-' || text[length] == '.') {
        ++length;
    }
    if (length < 2 || text[length] != ':' || !std::isalpha(static_cast<unsigned char>(text[0]))) {
        return std::string();
    }
    return std::string(text, length);
}

// The MIME type of a file, as shared-mime-info names it, from its extension;
// "" for a type the stand-in does not know.
std::string FileMimeType(const std::string& path) {
    static const struct {
        const char* extension;
        const char* type;
    } kTypes[] = {{".eml", "message/rfc822"}, {".txt", "text/plain"}, {".pdf", "application/pdf"}};
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    const std::string extension = path.substr(dot);
    for (const auto& known : kTypes) {
        if (strcasecmp(extension.c_str(), known.extension) == 0) return known.type;
    }
    return std::string();
}

INT_PTR FromErrno(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return SE_ERR_ACCESSDENIED;
        case ENOMEM:
        case EAGAIN:
            return SE_ERR_OOM;
        case ENOEXEC:
            return kBadFormat;
        default:
            return SE_ERR_FNF;
    }
}

void Report(int fd, int error) {
    ssize_t ignored = write(fd, &error, sizeof error);
    (void)ignored;
}

// Runs arguments in a grandchild that init adopts, so no zombie lingers and
// the caller does not wait for the handler; reports exec's failure through a
// pipe that a successful exec closes. 0 or an errno value.
int StartDetached(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return errno;
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(report[0]);
        close(report[1]);
        return error;
    }
    if (child == 0) {
        close(report[0]);
        const pid_t handler = fork();
        if (handler < 0) Report(report[1], errno);
        if (handler == 0) {
            const int nothing = open("/dev/null", O_RDONLY);
            if (nothing > 0) {
                dup2(nothing, 0);
                close(nothing);
            }
            execvp(argv[0], argv.data());
            Report(report[1], errno);
        }
        _exit(0);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

// Starts the handler for file (a URL or a path): kStarted, or an SE_ERR_ code.
INT_PTR Launch(const char* file) {
    const std::string scheme = UrlScheme(file);
    std::string command;
    std::vector<std::string> arguments;
    if (!scheme.empty()) {
        if (!DesktopSchemeHandlerCommand(scheme, command)) return SE_ERR_NOASSOC;
    } else {
        // A file: it must exist, and its type must have a handler.
        struct stat info;
        if (stat(file, &info) != 0) return errno == ENOENT ? SE_ERR_FNF : SE_ERR_PNF;
        if (!DesktopMimeHandlerCommand(FileMimeType(file), command)) return SE_ERR_NOASSOC;
    }
    if (!DesktopExecArguments(command, file, arguments)) return SE_ERR_NOASSOC;
    const int error = StartDetached(arguments);
    return error == 0 ? kStarted : FromErrno(error);
}

// The last error ShellExecuteExW sets for an SE_ERR_ code.
DWORD ErrorOf(INT_PTR code) {
    switch (code) {
        case SE_ERR_NOASSOC:
            return ERROR_NO_ASSOCIATION;
        case SE_ERR_PNF:
            return ERROR_PATH_NOT_FOUND;
        case SE_ERR_ACCESSDENIED:
            return ERROR_ACCESS_DENIED;
        case SE_ERR_OOM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case kBadFormat:
            return static_cast<DWORD>(kBadFormat);
        default:
            return ERROR_FILE_NOT_FOUND;
    }
}

std::string Utf8Of(LPCWSTR text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(static_cast<size_t>(size) - 1);
    return out;
}

WINBOOL Refuse(SHELLEXECUTEINFOW* info, INT_PTR code, DWORD error) {
    info->hInstApp = Result(code);
    SetLastError(error);
    return FALSE;
}

std::mutex launchMutex;
PlatformShellLaunch lastLaunch;
INT_PTR failNextCode = 0;
DWORD failNextError = 0;

}  // namespace

PlatformShellLaunch PlatformLastShellLaunch() {
    std::lock_guard<std::mutex> lock(launchMutex);
    return lastLaunch;
}

void PlatformFailNextShellExecute(INT_PTR code, DWORD error) {
    std::lock_guard<std::mutex> lock(launchMutex);
    failNextCode = code;
    failNextError = error;
}

extern "C" WINBOOL WINAPI ShellExecuteExW(SHELLEXECUTEINFOW* pExecInfo) {
    if (pExecInfo == nullptr || pExecInfo->cbSize != sizeof(SHELLEXECUTEINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    {
        std::lock_guard<std::mutex> lock(launchMutex);
        lastLaunch = PlatformShellLaunch{true, pExecInfo->fMask, PlatformComFlags()};
    }
    if (pExecInfo->lpFile == nullptr) return Refuse(pExecInfo, SE_ERR_FNF, ERROR_FILE_NOT_FOUND);
    if (pExecInfo->lpVerb != nullptr && Utf8Of(pExecInfo->lpVerb) != "open") {
        return Refuse(pExecInfo, SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION);
    }
    // What Windows needs for a caller that exits at once: the handler may be
    // started through COM, and an asynchronous launch may not be over yet.
    if (!PlatformComApartment() || (pExecInfo->fMask & SEE_MASK_NOASYNC) == 0) {
        return Refuse(pExecInfo, 0, static_cast<DWORD>(CO_E_NOTINITIALIZED));
    }
    {
        std::lock_guard<std::mutex> lock(launchMutex);
        const INT_PTR code = failNextCode;
        failNextCode = 0;
        if (code != 0) return Refuse(pExecInfo, code, failNextError);
    }
    const INT_PTR code = Launch(Utf8Of(pExecInfo->lpFile).c_str());
    if (code <= 32) return Refuse(pExecInfo, code, ErrorOf(code));
    pExecInfo->hInstApp = Result(code);
    return TRUE;
}
