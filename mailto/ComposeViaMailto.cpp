#include "mailto/ComposeViaMailto.h"

#include "mailto/MailtoUrl.h"
#include "win32/ShellOpen.h"

int ComposeViaMailto(const ComposeRequest& request, RoadFailure* failure) {
    if (request.AttachmentCount() != 0) {
        NoteRefusal(failure, "a mailto: link cannot carry the attachment");
        return -1;
    }
    Text url;
    if (!BuildMailtoUrl(request, url)) {
        NoteRefusal(failure, "there is not enough memory for the mailto: URL");
        return -1;
    }
    if (url.size() > kMailtoUrlLimit) {
        NoteRefusal(failure, "the mailto: URL would be longer than 2000 characters");
        return -1;
    }
    // The URL is ASCII: each of its characters is one UTF-16 unit.
    WCHAR wide[kMailtoUrlLimit + 1];
    for (size_t i = 0; i <= url.size(); ++i) wide[i] = static_cast<unsigned char>(url.c_str()[i]);
    ShellOpenFailure why;
    if (ShellOpen(wide, why)) return 0;
    NoteShellFailure(failure, why);
    return -1;
}
