#include "win32/ShellOpen.h"

#include <objbase.h>
#include <shellapi.h>

namespace {

using CoInitializeExFunction = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeFunction = void(WINAPI*)();
using ShellExecuteExWFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);

// A library for the rest of the process: loaded on first use and never
// freed, so nothing of it can go while a DDE conversation it started runs.
HMODULE KeptLibrary(const char* name, HMODULE& module) {
    if (module == nullptr) module = LoadLibraryA(name);
    return module;
}

// A library the shell needs, and how the report names the calls for it.
struct Library {
    const char* name;
    const char* load;  // the report's name for its LoadLibraryA
    HMODULE module;
};
Library ole32 = {"ole32.dll", "LoadLibraryA ole32.dll", nullptr};
Library shell32 = {"shell32.dll", "LoadLibraryA shell32.dll", nullptr};

// The export of library that lookup names ("GetProcAddress CoInitializeEx")
// as a Function, noting in failure the call that failed to give it.
template <typename Function>
Function Export(Library& library, const char* lookup, ShellOpenFailure& failure) {
    if (KeptLibrary(library.name, library.module) == nullptr) {
        failure.call = library.load;
        failure.error = GetLastError();
        return nullptr;
    }
    // The export's name follows the call's name and its blank.
    const FARPROC entry = GetProcAddress(library.module, lookup + sizeof "GetProcAddress");
    if (entry == nullptr) {
        failure.call = lookup;
        failure.error = GetLastError();
        return nullptr;
    }
    // Through void (*)(), the generic function pointer type.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
}

// COM on this thread for as long as the scope lasts, when it can be had.
class ComScope {
public:
    ComScope(CoInitializeExFunction initialize, CoUninitializeFunction uninitialize)
        : uninitialize_(uninitialize) {
        // S_FALSE too: COM was already there, and the count still rises.
        initialized_ =
            SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
    ~ComScope() {
        if (initialized_) uninitialize_();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    CoUninitializeFunction uninitialize_;
    bool initialized_ = false;
};

}  // namespace

bool ShellOpenFailure::DdeFailed() const {
    return (code >= SE_ERR_DDETIMEOUT && code <= SE_ERR_DDEBUSY) || error == ERROR_DDE_FAIL;
}

bool ShellOpen(const WCHAR* target, ShellOpenFailure& failure) {
    failure = ShellOpenFailure();
    const auto initialize =
        Export<CoInitializeExFunction>(ole32, "GetProcAddress CoInitializeEx", failure);
    const auto uninitialize =
        initialize ? Export<CoUninitializeFunction>(ole32, "GetProcAddress CoUninitialize", failure)
                   : nullptr;
    const auto shellExecute = uninitialize ? Export<ShellExecuteExWFunction>(
                                                 shell32, "GetProcAddress ShellExecuteExW", failure)
                                           : nullptr;
    if (shellExecute == nullptr) return false;
    ComScope com(initialize, uninitialize);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = target;
    info.nShow = SW_SHOWNORMAL;
    SetLastError(ERROR_SUCCESS);
    if (shellExecute(&info)) return true;
    failure.call = "ShellExecuteExW";
    failure.error = GetLastError();
    failure.code = reinterpret_cast<INT_PTR>(info.hInstApp);
    return false;
}

void NoteShellFailure(RoadFailure* road, const ShellOpenFailure& failure) {
    // hInstApp is what ShellExecuteExW documents as its failure's cause; the
    // last error may only be that of a step tried on the way (Wine leaves
    // ERROR_BAD_EXE_FORMAT for a file no program is registered for).
    if (failure.code > 0 && failure.code <= 32) {
        NoteCall(road, failure.call, RoadFailure::Code::Shell, static_cast<uint32_t>(failure.code));
    } else {
        NoteCall(road, failure.call, RoadFailure::Code::Win32, failure.error);
    }
}
