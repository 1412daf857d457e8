/* file_holder <file> <ready> <release>
 * Plays another program that has a file open for writing, as an editor or a
 * log writer does: opens <file> for writing (sharing read and write access,
 * as such programs do), appends a line, creates <ready>, and keeps the file
 * open until <release> exists (at most a minute). Exit 0 when it held the
 * file that way, 1 when it could not open or write it, 2 on usage. */
#include <windows.h>

static const char kLine[] = "written while held open\r\n";

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    if (SetFilePointer(file, 0, NULL, FILE_END) == INVALID_SET_FILE_POINTER ||
        !WriteFile(file, kLine, sizeof kLine - 1, &written, NULL) || written != sizeof kLine - 1 ||
        !FlushFileBuffers(file)) {
        CloseHandle(file);
        return 1;
    }
    HANDLE ready =
        CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (ready == INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return 1;
    }
    CloseHandle(ready);
    for (int waited = 0; waited < 60000; waited += 50) {
        if (GetFileAttributesA(argv[3]) != INVALID_FILE_ATTRIBUTES) break;
        Sleep(50);
    }
    CloseHandle(file);
    return 0;
}
