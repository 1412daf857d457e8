#include "eml/DraftFolder.h"

#include <cstring>

#include "win32/FileSearch.h"

namespace {

constexpr char kFolderName[] = "Quillora";
constexpr char kPrefix[] = "Quillora-";
constexpr char kExtension[] = ".eml";
// "Quillora-" "YYYYMMDD" "-" "HHMMSS" "-" "XXXXXXXX" ".eml"
constexpr size_t kNameLength = 9 + 8 + 1 + 6 + 1 + 8 + 4;
// Names tried before giving up, should others keep taking them.
constexpr unsigned kAttempts = 100;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsUpperHex(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F');
}

bool AllAre(const char* text, int count, bool (*is)(char)) {
    for (int i = 0; i < count; ++i) {
        if (!is(text[i])) return false;
    }
    return true;
}

void PutDecimal(char* at, unsigned value, int digits) {
    for (int i = digits - 1; i >= 0; --i, value /= 10) at[i] = static_cast<char>('0' + value % 10);
}

void FormName(const SYSTEMTIME& now, DWORD token, char* name /* kNameLength + 1 */) {
    static const char kHex[] = "0123456789ABCDEF";
    char* at = name;
    for (const char* p = kPrefix; *p != '\0'; ++p) *at++ = *p;
    PutDecimal(at, now.wYear, 4);
    PutDecimal(at + 4, now.wMonth, 2);
    PutDecimal(at + 6, now.wDay, 2);
    at[8] = '-';
    PutDecimal(at + 9, now.wHour, 2);
    PutDecimal(at + 11, now.wMinute, 2);
    PutDecimal(at + 13, now.wSecond, 2);
    at[15] = '-';
    at += 16;
    for (int shift = 28; shift >= 0; shift -= 4) *at++ = kHex[(token >> shift) & 0xF];
    for (const char* p = kExtension; *p != '\0'; ++p) *at++ = *p;
    *at = '\0';
}

ULONGLONG Ticks(const FILETIME& time) {
    return static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// folder ends with its separator.
bool JoinPath(const Text& folder, const char* name, Text& path) {
    return path.assign(folder.c_str(), folder.size()) && path.append(name, std::strlen(name));
}

}  // namespace

bool OpenDraftFolder(Text& folder, RoadFailure* failure) {
    char temp[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp) {
        NoteCall(failure, "GetTempPathA", RoadFailure::Code::Win32,
                 length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    const char separator = temp[length - 1];
    if (!folder.assign(temp, length) || !folder.append(kFolderName, sizeof kFolderName - 1)) {
        NoteRefusal(failure, "out of memory");
        return false;
    }
    if (CreateDirectoryA(folder.c_str(), nullptr) == FALSE) {
        const DWORD error = GetLastError();
        // Made by an earlier run: the usual case.
        if (error != ERROR_ALREADY_EXISTS ||
            (GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            NoteCall(failure, "CreateDirectoryA", RoadFailure::Code::Win32, error);
            return false;
        }
    }
    if (!folder.append(&separator, 1)) {
        NoteRefusal(failure, "out of memory");
        return false;
    }
    return true;
}

HANDLE CreateDraftFile(const Text& folder, const SYSTEMTIME& now, Text& path,
                       RoadFailure* failure) {
    // Distinct for runs in the same second: the process id and the
    // millisecond, then the next value for each name already taken.
    DWORD token = (GetCurrentProcessId() << 10) ^ now.wMilliseconds;
    for (unsigned attempt = 0; attempt < kAttempts; ++attempt, ++token) {
        char name[kNameLength + 1];
        FormName(now, token, name);
        if (!JoinPath(folder, name, path)) {
            NoteRefusal(failure, "out of memory");
            return INVALID_HANDLE_VALUE;
        }
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            NoteCall(failure, "CreateFileA", RoadFailure::Code::Win32, error);
            return INVALID_HANDLE_VALUE;
        }
    }
    NoteCall(failure, "CreateFileA", RoadFailure::Code::Win32, ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

bool IsDraftName(const char* name) {
    if (std::strlen(name) != kNameLength || std::strncmp(name, kPrefix, 9) != 0) return false;
    const char* at = name + 9;
    return AllAre(at, 8, IsDigit) && at[8] == '-' && AllAre(at + 9, 6, IsDigit) && at[15] == '-' &&
           AllAre(at + 16, 8, IsUpperHex) && std::strcmp(at + 24, kExtension) == 0;
}

void DeleteOldDrafts(const Text& folder, const FILETIME& now) {
    Text pattern, path;
    if (!JoinPath(folder, "Quillora-*.eml", pattern)) return;
    FileSearch search(pattern.c_str());
    if (!search.IsOpen()) return;
    do {
        const WIN32_FIND_DATAA& found = search.Found();
        const ULONGLONG written = Ticks(found.ftLastWriteTime);
        // A time ahead of the clock is no age at all.
        const bool old = written < Ticks(now) && Ticks(now) - written > kDraftLifetime;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsDraftName(found.cFileName) && old && JoinPath(folder, found.cFileName, path)) {
            DeleteFileA(path.c_str());
        }
    } while (search.Next());
}
