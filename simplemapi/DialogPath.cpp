#include "simplemapi/DialogPath.h"

#include "text/WideText.h"
#include "text/WideToAnsi.h"
#include "win32/FileHandle.h"
#include "win32/SharedRead.h"

namespace {

// The longest path an 8-bit file call takes, terminator excluded.
constexpr size_t kLongest8BitPath = MAX_PATH - 1;

bool Fits(const WCHAR* wide, size_t count, Text& path) {
    return LosslessAnsi(wide, count, path) && path.size() <= kLongest8BitPath;
}

bool ShortForm(const WCHAR* path, Text& shortPath) {
    const DWORD needed = GetShortPathNameW(path, nullptr, 0);
    if (needed == 0) return false;
    WideText form;
    WCHAR* buffer = form.Buffer(needed);
    if (buffer == nullptr) return false;
    const DWORD written = GetShortPathNameW(path, buffer, needed);
    if (written == 0 || written >= needed) return false;
    return Fits(buffer, written, shortPath);
}

bool SameFile(HANDLE one, HANDLE other) {
    BY_HANDLE_FILE_INFORMATION a, b;
    return GetFileInformationByHandle(one, &a) && GetFileInformationByHandle(other, &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

bool DialogPath(const AttachedFile& file, Text& path, bool& shortForm) {
    shortForm = false;
    if (!Fits(file.path, WideLength(file.path), path)) {
        // Without the file there is no short form; a long one fits or none.
        if (!file.IsOpen() || !ShortForm(file.path, path)) return false;
        shortForm = true;
    }
    // A file that could not be opened is left to the client, which says so.
    if (!file.IsOpen()) return true;
    FileHandle opened(OpenSharedRead(path.c_str()));
    return !opened.IsOpen() || SameFile(opened.Get(), file.file);
}
