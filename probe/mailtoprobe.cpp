// mailtoprobe: writes the command registered for mailto links to standard
// output, so that a caller can tell which mail client is installed.
// Its printf is msvcrt's own (__USE_MINGW_ANSI_STDIO=0 in the build), not a
// formatter linked into the program, which keeps the executable small.
#include <stdio.h>
#include <windows.h>

namespace {

const char kMailtoCommandKey[] = "mailto\\shell\\open\\command";
const DWORD kValueBufferSize = 1024;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kMailtoCommandKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return -1;
    }

    char value[kValueBufferSize];
    DWORD type;  // any type is accepted; its bytes are written as text
    DWORD size = kValueBufferSize;
    LONG read = RegQueryValueExA(key, NULL, NULL, &type, reinterpret_cast<LPBYTE>(value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS) {
        return -1;
    }

    // The text runs to the first zero byte, but never past the bytes the read
    // returned: a value stored without a terminator (a binary or DWORD value,
    // or a string saved without its zero) is written as its bytes, no more.
    if (size > kValueBufferSize) {
        size = kValueBufferSize;
    }
    printf("%.*s", static_cast<int>(size), value);
    return 0;
}
