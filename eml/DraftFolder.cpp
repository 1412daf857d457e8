#include "eml/DraftFolder.h"

#include <cstring>

#include "text/TextHelpers.h"
#include "win32/FileTime.h"
#include "win32/FindHandle.h"
#include "win32/LongPath.h"

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

bool DraftFolder(WideText& folder, RoadFailure* failure) {
    const auto failed = [failure](const char* call) {
        NoteCall(failure, call, RoadFailure::Code::Win32, GetLastError());
        return false;
    };
    // At most MAX_PATH + 1 characters and the terminator.
    WCHAR temp[MAX_PATH + 2];
    const DWORD length = GetTempPathW(MAX_PATH + 2, temp);
    if (length == 0 || length >= MAX_PATH + 2) {
        if (length != 0) SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return failed("GetTempPathW");
    }
    // The separator the temporary path itself ends in follows the name.
    WideText usable;
    if (!folder.assign(temp, length) || !folder.appendAscii(kFolderName)) {
        NoteOutOfMemory(failure);
        return false;
    }
    if (!LongPathForm(folder.c_str(), usable)) {
        if (GetLastError() != ERROR_NOT_ENOUGH_MEMORY) return failed("GetFullPathNameW");
        NoteOutOfMemory(failure);
        return false;
    }
    if (!CreateDirectoryW(usable.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return failed("CreateDirectoryW");
    }
    if (!folder.append(&temp[length - 1], 1)) {
        NoteOutOfMemory(failure);
        return false;
    }
    return true;
}

HANDLE CreateDraftFile(const WideText& folder, const SYSTEMTIME& utc, WideText& path,
                       RoadFailure* failure) {
    for (unsigned attempt = 1; attempt <= kAttempts; ++attempt) {
        Text name;
        WideText usable;
        if (!name.assign(kPrefix) || !AppendStamp(name, utc) ||
            !AppendDecimal(name, GetCurrentProcessId(), 1) || !name.append("-", 1) ||
            !AppendDecimal(name, attempt, 1) || !name.append(kExtension, sizeof kExtension - 1) ||
            !path.assign(folder.c_str(), folder.size()) || !path.appendAscii(name.c_str())) {
            NoteOutOfMemory(failure);
            return INVALID_HANDLE_VALUE;
        }
        if (!LongPathForm(path.c_str(), usable)) {
            if (GetLastError() == ERROR_NOT_ENOUGH_MEMORY) {
                NoteOutOfMemory(failure);
            } else {
                NoteCall(failure, "GetFullPathNameW", RoadFailure::Code::Win32, GetLastError());
            }
            return INVALID_HANDLE_VALUE;
        }
        const HANDLE file = CreateFileW(usable.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    // Every name taken, or the folder refused the file.
    NoteCall(failure, "CreateFileW", RoadFailure::Code::Win32, GetLastError());
    return INVALID_HANDLE_VALUE;
}

bool IsDraftFileName(const char* name) {
    const char* at = name;
    return Literal(at, kPrefix) && Digits(at, 8) && Literal(at, "-") && Digits(at, 6) &&
           Literal(at, "-") && Digits(at, 0) && Literal(at, "-") && Digits(at, 0) &&
           Literal(at, kExtension) && *at == '\0';
}

bool DeleteDraft(const WideText& path) {
    WideText usable;
    return LongPathForm(path.c_str(), usable) && DeleteFileW(usable.c_str());
}

void DeleteOldDrafts(const WideText& folder, ULONGLONG now) {
    WideText pattern, usable;
    if (!pattern.assign(folder.c_str(), folder.size()) || !pattern.appendAscii(kPrefix) ||
        !pattern.appendAscii("*.eml") || !LongPathForm(pattern.c_str(), usable)) {
        return;
    }
    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstFileW(usable.c_str(), &found));
    if (!search.IsOpen()) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            FileTimeTicks(found.ftLastWriteTime) + kDraftLifetime > now) {
            continue;
        }
        // Quillora's own names are ASCII: any other is not one of them.
        char name[MAX_PATH];
        size_t length = 0;
        for (; found.cFileName[length] != 0 && found.cFileName[length] < 0x80; ++length) {
            name[length] = static_cast<char>(found.cFileName[length]);
        }
        if (found.cFileName[length] != 0) continue;
        name[length] = '\0';
        WideText old;
        if (IsDraftFileName(name) && old.assign(folder.c_str(), folder.size()) &&
            old.append(found.cFileName, length)) {
            DeleteDraft(old);
        }
    } while (FindNextFileW(search.Get(), &found));
}
