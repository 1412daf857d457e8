#include "eml/DraftFolder.h"

#include <cstring>

#include "text/TextHelpers.h"
#include "win32/FileTime.h"
#include "win32/FindHandle.h"

namespace {

constexpr char kFolderName[] = "Quillora";
constexpr char kPrefix[] = "Quillora-";
constexpr char kExtension[] = ".eml";
// A draft kept longer than this was read long ago, or never will be.
constexpr ULONGLONG kDraftLifetime = 24ULL * 60 * 60 * 10000000;
// Names tried before giving up: another process would have to take them all.
constexpr unsigned kAttempts = 100;

// "YYYYMMDD-HHMMSS-"
bool AppendStamp(Text& text, const SYSTEMTIME& utc) {
    return AppendDecimal(text, utc.wYear, 4) && AppendDecimal(text, utc.wMonth, 2) &&
           AppendDecimal(text, utc.wDay, 2) && text.append("-", 1) &&
           AppendDecimal(text, utc.wHour, 2) && AppendDecimal(text, utc.wMinute, 2) &&
           AppendDecimal(text, utc.wSecond, 2) && text.append("-", 1);
}

// Steps over count digits (at least one when count is 0: a run of them).
bool Digits(const char*& at, size_t count) {
    size_t seen = 0;
    while (*at >= '0' && *at <= '9' && (count == 0 || seen < count)) {
        ++at;
        ++seen;
    }
    return count == 0 ? seen > 0 : seen == count;
}

bool Literal(const char*& at, const char* text) {
    const size_t length = std::strlen(text);
    if (std::strncmp(at, text, length) != 0) return false;
    at += length;
    return true;
}

}  // namespace

bool DraftFolder(Text& folder, RoadFailure* failure) {
    const auto failed = [failure](const char* call) {
        NoteCall(failure, call, RoadFailure::Code::Win32, GetLastError());
        return false;
    };
    char temp[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp) {
        if (length != 0) SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return failed("GetTempPathA");
    }
    // The separator the temporary path itself ends in follows the name.
    if (!folder.assign(temp, length) || !folder.append(kFolderName, sizeof kFolderName - 1)) {
        NoteOutOfMemory(failure);
        return false;
    }
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return failed("CreateDirectoryA");
    }
    if (!folder.append(&temp[length - 1], 1)) {
        NoteOutOfMemory(failure);
        return false;
    }
    return true;
}

HANDLE CreateDraftFile(const Text& folder, const SYSTEMTIME& utc, Text& path,
                       RoadFailure* failure) {
    for (unsigned attempt = 1; attempt <= kAttempts; ++attempt) {
        if (!path.assign(folder.c_str(), folder.size()) ||
            !path.append(kPrefix, sizeof kPrefix - 1) || !AppendStamp(path, utc) ||
            !AppendDecimal(path, GetCurrentProcessId(), 1) || !path.append("-", 1) ||
            !AppendDecimal(path, attempt, 1) || !path.append(kExtension, sizeof kExtension - 1)) {
            NoteOutOfMemory(failure);
            return INVALID_HANDLE_VALUE;
        }
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    // Every name taken, or the folder refused the file.
    NoteCall(failure, "CreateFileA", RoadFailure::Code::Win32, GetLastError());
    return INVALID_HANDLE_VALUE;
}

bool IsDraftFileName(const char* name) {
    const char* at = name;
    return Literal(at, kPrefix) && Digits(at, 8) && Literal(at, "-") && Digits(at, 6) &&
           Literal(at, "-") && Digits(at, 0) && Literal(at, "-") && Digits(at, 0) &&
           Literal(at, kExtension) && *at == '\0';
}

void DeleteOldDrafts(const Text& folder, ULONGLONG now) {
    Text pattern;
    if (!pattern.assign(folder.c_str(), folder.size()) ||
        !pattern.append(kPrefix, sizeof kPrefix - 1) || !pattern.append("*.eml", 5)) {
        return;
    }
    WIN32_FIND_DATAA found;
    const FindHandle search(FindFirstFileA(pattern.c_str(), &found));
    if (!search.IsOpen()) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            !IsDraftFileName(found.cFileName) ||
            FileTimeTicks(found.ftLastWriteTime) + kDraftLifetime > now) {
            continue;
        }
        Text old;
        if (old.assign(folder.c_str(), folder.size()) &&
            old.append(found.cFileName, std::strlen(found.cFileName))) {
            DeleteFileA(old.c_str());
        }
    } while (FindNextFileA(search.Get(), &found));
}
