#include "simplemapi/ComposeViaSimpleMapi.h"

#include "text/TextHelpers.h"
#include "simplemapi/SimpleMapiMail.h"

int ComposeViaSimpleMapi(const ComposeRequest& request, RoadFailure* failure) {
    const char* const attachment = request.attachment;
    SimpleMapiMail mail;
    switch (mail.TakeLastError()) {
        case SimpleMapiError::NoError:
            break;
        case SimpleMapiError::LibraryNotLoaded:
            NoteRefusal(failure, "MAPI32.DLL cannot be loaded");
            return -1;
        default:
            NoteRefusal(failure, "MAPI32.DLL has no MAPISendMail");
            return -1;
    }

    // The result of each add is not looked at: the dialog opens with
    // whatever could be added.
    const auto add = [&mail](const char* name, RecipientKind kind) {
        mail.AddRecipient(name, kind);
    };
    if (request.to != nullptr) SplitRecipientList(request.to, RecipientKind::To, add);
    if (request.cc != nullptr) SplitRecipientList(request.cc, RecipientKind::Cc, add);
    if (request.bcc != nullptr) SplitRecipientList(request.bcc, RecipientKind::Bcc, add);

    // MapiMessage's text fields are not const; MAPISendMail only reads them.
    if (request.subject != nullptr) {
        mail.message.lpszSubject = const_cast<char*>(request.subject);
    }
    if (request.body != nullptr) mail.noteText = request.body;

    if (attachment != nullptr) {
        char displayName[kDisplayNameSize];
        displayName[0] = '\0';
        AttachmentDisplayName(attachment, displayName);
        mail.AddAttachment(attachment, displayName[0] != '\0' ? displayName : nullptr);
    }

    const bool sent = mail.Send(MAPI_DIALOG);
    // Noted on success too: a cancelled dialog or failed logon counts as
    // success, and the report says which it was.
    if (mail.sendResult != SUCCESS_SUCCESS) {
        NoteCall(failure, "MAPISendMail", RoadFailure::Code::SimpleMapi, mail.sendResult);
    }
    return sent ? 0 : -1;
}
