#include "win32/ShellOpen.h"

#include <objbase.h>
#include <shellapi.h>

#include "win32/LoadedLibrary.h"

namespace {

using CoInitializeExFunction = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeFunction = void(WINAPI*)();
using ShellExecuteExWFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);

// COM on this thread for as long as the scope lasts, when it can be had.
class ComScope {
public:
    explicit ComScope(const LoadedLibrary& ole) {
        const auto initialize = ole.Find<CoInitializeExFunction>("CoInitializeEx");
        uninitialize_ = ole.Find<CoUninitializeFunction>("CoUninitialize");
        // S_FALSE too: COM was already there, and the count still rises.
        initialized_ =
            initialize != nullptr && uninitialize_ != nullptr &&
            SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
    ~ComScope() {
        if (initialized_) uninitialize_();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    CoUninitializeFunction uninitialize_ = nullptr;
    bool initialized_ = false;
};

}  // namespace

bool ShellOpenFailure::NoProgram() const {
    return code == SE_ERR_NOASSOC || error == ERROR_NO_ASSOCIATION;
}

bool ShellOpenFailure::DdeFailed() const {
    return (code >= SE_ERR_DDETIMEOUT && code <= SE_ERR_DDEBUSY) || error == ERROR_DDE_FAIL;
}

bool ShellOpen(const WCHAR* target, ShellOpenFailure& failure) {
    failure = ShellOpenFailure();
    // Declared first, so both stay loaded until COM is uninitialised.
    LoadedLibrary ole("ole32.dll");
    LoadedLibrary shell("shell32.dll");
    const auto shellExecute = shell.Find<ShellExecuteExWFunction>("ShellExecuteExW");
    if (shellExecute == nullptr) {
        failure.error = shell.IsLoaded() ? ERROR_PROC_NOT_FOUND : ERROR_MOD_NOT_FOUND;
        return false;
    }
    ComScope com(ole);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = target;
    info.nShow = SW_SHOWNORMAL;
    SetLastError(ERROR_SUCCESS);
    if (shellExecute(&info)) return true;
    failure.error = GetLastError();
    failure.code = reinterpret_cast<INT_PTR>(info.hInstApp);
    return false;
}

void NoteShellFailure(RoadFailure* road, const ShellOpenFailure& failure) {
    // hInstApp is what the call documents as its failure's cause; the last
    // error may only be that of a step tried on the way (Wine leaves
    // ERROR_BAD_EXE_FORMAT for a file no program is registered for).
    if (failure.code > 0 && failure.code <= 32) {
        NoteCall(road, "ShellExecuteExW", RoadFailure::Code::Shell,
                 static_cast<uint32_t>(failure.code));
    } else {
        NoteCall(road, "ShellExecuteExW", RoadFailure::Code::Win32, failure.error);
    }
}
