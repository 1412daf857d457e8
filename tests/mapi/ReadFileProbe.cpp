#include "ReadFileProbe.h"

unsigned ReadFileProbe::calls = 0;
DWORD ReadFileProbe::largestRequest = 0;
std::set<const void*> ReadFileProbe::buffers;
unsigned ReadFileProbe::failCall = 0;

void ReadFileProbe::Reset() {
    calls = 0;
    largestRequest = 0;
    buffers.clear();
    failCall = 0;
}

// The stand-in declares ReadFile with C++ linkage, so the wrapped symbol is
// its mangled name.
extern "C" WINBOOL __real__Z8ReadFilePvS_jPjP11_OVERLAPPED(HANDLE, LPVOID, DWORD, LPDWORD,
                                                           LPOVERLAPPED);

extern "C" WINBOOL __wrap__Z8ReadFilePvS_jPjP11_OVERLAPPED(HANDLE file, LPVOID buffer, DWORD size,
                                                           LPDWORD read, LPOVERLAPPED overlapped) {
    ++ReadFileProbe::calls;
    if (size > ReadFileProbe::largestRequest) ReadFileProbe::largestRequest = size;
    ReadFileProbe::buffers.insert(buffer);
    if (ReadFileProbe::calls == ReadFileProbe::failCall) {
        if (read) *read = 0;
        return FALSE;
    }
    return __real__Z8ReadFilePvS_jPjP11_OVERLAPPED(file, buffer, size, read, overlapped);
}
