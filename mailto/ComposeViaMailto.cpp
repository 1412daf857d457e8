#include "mailto/ComposeViaMailto.h"

#include "mailto/MailtoUrl.h"
#include "win32/ShellOpen.h"

int ComposeViaMailto(const ComposeRequest& request, RoadFailure* failure) {
    if (request.attachment != nullptr) {
        NoteRefusal(failure, "a mailto: link cannot carry the attachment");
        return -1;
    }
    Text url;
    if (!BuildMailtoUrl(request, url)) {
        NoteRefusal(failure, "the text cannot be converted to UTF-8");
        return -1;
    }
    if (url.size() > kMailtoUrlLimit) {
        NoteRefusal(failure, "the mailto: URL would be longer than 2000 characters");
        return -1;
    }
    // Above 32 means the handler was started; lower values are error codes.
    const INT_PTR started = ShellOpen(url.c_str());
    if (started > 32) return 0;
    NoteCall(failure, "ShellExecuteA", RoadFailure::Code::Shell,
             static_cast<uint32_t>(started));
    return -1;
}
