/* mailto_recorder <url...>
 * Plays the mail client registered for mailto: links: appends one line with
 * its arguments (separated by spaces) to the file that QUILLORA_MAILTO_RECORD
 * names, so a test sees each URL it was started with, and whether the URL
 * came as one argument. Exit 0 when recorded, 1 when not, 2 without the
 * variable. */
#include <stdlib.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv) {
    const char* record = getenv("QUILLORA_MAILTO_RECORD");
    if (record == NULL) return 2;
    HANDLE file = CreateFileA(record, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    BOOL ok = TRUE;
    DWORD written = 0;
    for (int i = 1; i < argc && ok; ++i) {
        if (i > 1) ok = WriteFile(file, " ", 1, &written, NULL);
        ok = ok && WriteFile(file, argv[i], (DWORD)strlen(argv[i]), &written, NULL);
    }
    ok = ok && WriteFile(file, "\n", 1, &written, NULL);
    CloseHandle(file);
    return ok ? 0 : 1;
}
