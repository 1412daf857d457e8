#include "mailto/ComposeViaMailto.h"

#include "mailto/MailtoUrl.h"
#include "win32/ShellOpen.h"

int ComposeViaMailto(const ComposeRequest& request) {
    if (request.attachment != nullptr) return -1;
    Text url;
    if (!BuildMailtoUrl(request, url) || url.size() > kMailtoUrlLimit) return -1;
    // Above 32 means the handler was started; lower values are error codes.
    return ShellOpen(url.c_str()) > 32 ? 0 : -1;
}
