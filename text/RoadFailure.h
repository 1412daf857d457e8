// Why a road failed, for the run's report: the call that made it fail and
// what that call returned, or a refusal that no failed call explains.
#pragma once

#include <cerrno>
#include <cstdint>

struct RoadFailure {
    // What kind of number a call returned, so the report can name it.
    enum class Code : uint8_t {
        None,
        HResult,     // an Extended MAPI or COM result (MAPI_E_LOGON_FAILED)
        SimpleMapi,  // a Simple MAPI result (MAPI_E_FAILURE = 2)
        Shell,       // the SE_ERR_ code ShellExecuteExW left in hInstApp (SE_ERR_NOASSOC = 31)
        Win32,       // GetLastError() after a kernel call (ERROR_FILE_NOT_FOUND)
        Errno,       // the C runtime's errno (ENOMEM from malloc)
    };

    const char* call = nullptr;  // "MAPILogonEx", "ShellExecuteExW"
    Code kind = Code::None;
    uint32_t code = 0;
    const char* refusal = nullptr;  // "the request has an attachment"
    bool skipped = false;           // the road was not called at all

    bool Noted() const { return call != nullptr || refusal != nullptr || skipped; }
    // The first thing noted stands: what fails after it follows from it.
    void Call(const char* name, Code codeKind, uint32_t result) {
        if (Noted()) return;
        call = name;
        kind = codeKind;
        code = result;
    }
    void Refuse(const char* why) {
        if (!Noted()) refusal = why;
    }
};

// Notes on failure when there is somewhere to note it: roads take an
// optional RoadFailure* and report through these.
inline void NoteCall(RoadFailure* failure, const char* name, RoadFailure::Code kind,
                     uint32_t result) {
    if (failure != nullptr) failure->Call(name, kind, result);
}
inline void NoteRefusal(RoadFailure* failure, const char* why) {
    if (failure != nullptr) failure->Refuse(why);
}
// The C runtime's heap had no block for a text: Text and HeapBlock take
// theirs from malloc.
inline void NoteOutOfMemory(RoadFailure* failure) {
    NoteCall(failure, "malloc", RoadFailure::Code::Errno, ENOMEM);
}
// Notes what another record says, unless something was noted already.
inline void NoteFailure(RoadFailure* failure, const RoadFailure& why) {
    if (failure != nullptr && !failure->Noted()) *failure = why;
}
