/* eml_recorder <draft.eml>
 * Plays the mail app registered for .eml files: copies the file it is given
 * into the folder that QUILLORA_EML_RECORD names, as draft-1.eml, draft-2.eml
 * ... in the order of the calls, so a test reads each draft it was started
 * with. The draft's path is read as the mail app reads it, in UTF-16, so it
 * may hold any character. Exit 0 when copied, 1 when not, 2 without the
 * variable or file. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>
#include <shellapi.h>

int main(void) {
    const wchar_t* record = _wgetenv(L"QUILLORA_EML_RECORD");
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (record == NULL || argv == NULL || argc != 2) return 2;
    for (int n = 1; n < 1000; ++n) {
        wchar_t copy[MAX_PATH];
        _snwprintf(copy, MAX_PATH, L"%ls\\draft-%d.eml", record, n);
        copy[MAX_PATH - 1] = 0;
        if (CopyFileW(argv[1], copy, TRUE)) return 0;
        if (GetLastError() != ERROR_FILE_EXISTS) return 1;
    }
    return 1;
}
