#include "ReadFileProbe.h"

unsigned ReadFileProbe::calls = 0;
unsigned ReadFileProbe::failCall = 0;

void ReadFileProbe::Reset() {
    calls = 0;
    failCall = 0;
}

// The test program is linked with --wrap=ReadFile: the code under test
// calls __wrap_ReadFile, which counts and may fail the call before passing
// it on to the stand-in's ReadFile.
extern "C" WINBOOL __real_ReadFile(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);

extern "C" WINBOOL __wrap_ReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read,
                                   LPOVERLAPPED overlapped) {
    ++ReadFileProbe::calls;
    if (ReadFileProbe::calls == ReadFileProbe::failCall) {
        if (read) *read = 0;
        return FALSE;
    }
    return __real_ReadFile(file, buffer, size, read, overlapped);
}
