#include "mapi/ComposeViaDrafts.h"

#include "mapi/MapiPlatform.h"
#include "mapi/MessageItem.h"
#include "text/TextHelpers.h"

namespace {

constexpr char kCaption[] = "Quillora";

}  // namespace

int ComposeViaDrafts(MapiSession* session, const ComposeRequest& request) {
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
    const auto addRecipient = [&message](const char* name, RecipientKind kind) {
        message.AddRecipient(name, MapiRecipientType(kind), nullptr);
    };
    SplitRecipientList(request.to, RecipientKind::To, addRecipient);
    SplitRecipientList(request.cc, RecipientKind::Cc, addRecipient);
    SplitRecipientList(request.bcc, RecipientKind::Bcc, addRecipient);

    if (request.subject) message.SetSubject(request.subject);
    if (request.body) message.SetBody(request.body);
    if (request.attachment) {
        char displayName[kDisplayNameSize] = "";
        AttachmentDisplayName(request.attachment, displayName);
        message.AddAttachment(request.attachment, displayName[0] ? displayName : nullptr, nullptr);
    }

    // A form that was shown is the road's success, whatever the user then
    // does with it. One that never opened leaves the message nowhere: the
    // road has failed, and the send dialog gets its turn.
    return message.ShowForm(session) == kFormNotShown ? -1 : 0;
}
