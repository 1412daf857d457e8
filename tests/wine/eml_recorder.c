/* eml_recorder <draft.eml>
 * Plays the mail app registered for .eml files: copies the file it is given
 * into the folder that QUILLORA_EML_RECORD names, as draft-1.eml, draft-2.eml
 * ... in the order of the calls, so a test reads each draft it was started
 * with. Exit 0 when copied, 1 when not, 2 without the variable or file. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(int argc, char** argv) {
    const char* record = getenv("QUILLORA_EML_RECORD");
    if (record == NULL || argc != 2) return 2;
    for (int n = 1; n < 1000; ++n) {
        char copy[MAX_PATH];
        snprintf(copy, sizeof copy, "%s\\draft-%d.eml", record, n);
        if (CopyFileA(argv[1], copy, TRUE)) return 0;
        if (GetLastError() != ERROR_FILE_EXISTS) return 1;
    }
    return 1;
}
