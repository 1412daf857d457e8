#include "simplemapi/ComposeViaSimpleMapi.h"

#include "front/TextHelpers.h"
#include "simplemapi/SimpleMapiMail.h"

int ComposeViaSimpleMapi(const char* to, const char* cc, const char* bcc, const char* subject,
                         const char* body, const char* attachment) {
    SimpleMapiMail mail;
    if (mail.TakeLastError() != SimpleMapiError::NoError) return -1;

    // The result of each add is not looked at: the dialog opens with
    // whatever could be added.
    const auto add = [&mail](const char* name, RecipientKind kind) {
        mail.AddRecipient(name, kind);
    };
    if (to != nullptr) SplitRecipientList(to, RecipientKind::To, add);
    if (cc != nullptr) SplitRecipientList(cc, RecipientKind::Cc, add);
    if (bcc != nullptr) SplitRecipientList(bcc, RecipientKind::Bcc, add);

    // MapiMessage's text fields are not const; MAPISendMail only reads them.
    if (subject != nullptr) mail.message.lpszSubject = const_cast<char*>(subject);
    if (body != nullptr) mail.noteText = body;

    if (attachment != nullptr) {
        char displayName[kDisplayNameSize];
        displayName[0] = '\0';
        AttachmentDisplayName(attachment, displayName);
        mail.AddAttachment(attachment, displayName[0] != '\0' ? displayName : nullptr);
    }

    return mail.Send(MAPI_DIALOG) ? 0 : -1;
}
