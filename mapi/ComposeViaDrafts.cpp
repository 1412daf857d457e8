#include "mapi/ComposeViaDrafts.h"

#include "mapi/MapiPlatform.h"
#include "mapi/MessageItem.h"
#include "win32/SharedRead.h"

namespace {

constexpr char kCaption[] = "Quillora";

}  // namespace

int ComposeViaDrafts(MapiSession* session, const ComposeRequest& request, bool* attached) {
    if (!session->OpenDrafts(true)) {
        MessageBoxA(NULL, "Unable to open folder 'Drafts'.", kCaption, MB_OK);
        return -1;
    }

    MessageItem message;
    if (!message.Create(session, IMPORTANCE_NORMAL, true, nullptr)) {
        MessageBoxA(NULL, "Unable to create message.", kCaption, MB_OK);
        return -1;
    }

    // Each recipient is resolved and added on its own, so one that fails is
    // left out and the rest still go in.
    for (size_t i = 0; i < request.recipientCount; ++i) {
        const AnsiRecipient& recipient = request.recipients[i];
        message.AddRecipient(recipient.name, MapiRecipientType(recipient.kind), nullptr);
    }

    if (request.ansiSubject) message.SetSubject(request.ansiSubject);
    if (request.ansiBody) message.SetBody(request.ansiBody);
    // A file that cannot be read is left out; the form shows the rest.
    for (size_t i = 0; i < request.AttachmentCount(); ++i) {
        const AttachedFile& file = request.Attachment(i);
        const bool added = file.IsOpen() && Rewind(file.file) &&
                           message.AttachFile(file.file, file.ansiName, nullptr);
        if (attached) attached[i] = added;
    }

    // A form that was shown is the road's success, whatever the user then
    // does with it. One that never opened leaves the message nowhere: the
    // road has failed, and the send dialog gets its turn.
    return message.ShowForm(session) == kFormNotShown ? -1 : 0;
}
