/* eml_recorder <draft>
 * Plays the mail app registered for .eml files: copies the file it is given
 * into the directory that QUILLORA_EML_RECORD names, as 1.eml, 2.eml ...
 * (copied under a .tmp name, then renamed), so a test reads each draft whole
 * and as it was handed over. Exit 0 when copied, 1 when not, 2 without the
 * variable or the argument. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(int argc, char** argv) {
    const char* record = getenv("QUILLORA_EML_RECORD");
    if (record == NULL || argc < 2) return 2;
    char temporary[MAX_PATH], name[MAX_PATH];
    for (int n = 1; n < 1000; ++n) {
        snprintf(name, sizeof name, "%s\\%d.eml", record, n);
        if (GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES) continue;
        snprintf(temporary, sizeof temporary, "%s\\%d.tmp", record, n);
        if (!CopyFileA(argv[1], temporary, TRUE)) continue;
        return MoveFileA(temporary, name) ? 0 : 1;
    }
    return 1;
}
