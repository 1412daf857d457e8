#include "mapi/ComposeViaDrafts.h"

#include "front/TextHelpers.h"
#include "mapi/MapiPlatform.h"
#include "mapi/MessageItem.h"

namespace {
constexpr char kCaption[] = "Quillora";
}

int ComposeViaDrafts(MapiSession* session, const char* to, const char* cc, const char* bcc,
                     const char* subject, const char* body, const char* attachment) {
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
        message.AddRecipient(name, static_cast<ULONG>(kind), nullptr);
    };
    SplitRecipientList(to, RecipientKind::To, addRecipient);
    SplitRecipientList(cc, RecipientKind::Cc, addRecipient);
    SplitRecipientList(bcc, RecipientKind::Bcc, addRecipient);

    if (subject) message.SetSubject(subject);
    if (body) message.SetBody(body);
    if (attachment) {
        char displayName[kDisplayNameSize] = "";
        AttachmentDisplayName(attachment, displayName);
        message.AddAttachment(attachment, displayName[0] ? displayName : nullptr, nullptr);
    }

    message.ShowForm(session);
    return 0;
}
