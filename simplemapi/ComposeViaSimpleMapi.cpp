#include "simplemapi/ComposeViaSimpleMapi.h"

#include "simplemapi/DialogPath.h"
#include "simplemapi/SimpleMapiMail.h"

int ComposeViaSimpleMapi(const ComposeRequest& request, RoadFailure* failure) {
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
    for (size_t i = 0; i < request.recipientCount; ++i) {
        const AnsiRecipient& recipient = request.recipients[i];
        mail.AddRecipient(recipient.name, recipient.kind, recipient.address);
    }

    // MapiMessage's text fields are not const; MAPISendMail only reads them.
    if (request.ansiSubject != nullptr) {
        mail.message.lpszSubject = const_cast<char*>(request.ansiSubject);
    }
    if (request.ansiBody != nullptr) mail.noteText = request.ansiBody;

    // The client opens each file by an 8-bit path: without one that names
    // it, the dialog would open without that file.
    for (size_t i = 0; i < request.AttachmentCount(); ++i) {
        const AttachedFile& file = request.Attachment(i);
        Text path;
        bool shortForm = false;
        if (!DialogPath(file, path, shortForm)) {
            NoteRefusal(failure, kNoDialogPath);
            return -1;
        }
        // A short form would name the file LDZRAP~1.PDF: its own name goes
        // with it.
        mail.AddAttachment(path.c_str(), shortForm ? file.ansiName : file.displayName);
    }

    const bool sent = mail.Send(MAPI_DIALOG);
    // Noted on success too: a cancelled dialog or failed logon counts as
    // success, and the report says which it was.
    if (mail.sendResult != SUCCESS_SUCCESS) {
        NoteCall(failure, "MAPISendMail", RoadFailure::Code::SimpleMapi, mail.sendResult);
    }
    return sent ? 0 : -1;
}
