// One MAPI message: creating a new unsent message in a folder, adding
// recipients through the address book, setting subject and plain-text body,
// attaching one file, and handing the message to the mail client's form.
// It can also open an existing message and read its sender and subject.
#pragma once

#include "text/Text.h"

#include "mapi/MapiItem.h"

class MapiFolder;

// What MessageItem::ShowForm reports.
constexpr int kFormNotShown = 0;   // no form: it could not be prepared or shown
constexpr int kFormShown = 1;      // the client showed the form
constexpr int kFormCancelled = 2;  // the form was shown and the user cancelled it

class MessageItem final : public MapiItem {
public:
    MessageItem() = default;
    ~MessageItem();

    // Opens an existing message and reads sender name, sender address (the
    // SMTP address for an Exchange sender when the address book has one)
    // and subject. 1 opened, 0 failed.
    int Open(MapiSession* session, SBinary entryId) override;
    // Releases the auxiliary interface and closes the item; the sender and
    // subject members are kept.
    void Close() override;

    // Creates an unsent message in folder, else in the session's current
    // folder, else in the Outbox (which then becomes current), and sets the
    // message flags, the sent-mail handling and a non-normal importance.
    bool Create(MapiSession* session, LONG importance, bool saveToSent, MapiFolder* folder);
    bool CreateInFolder(MapiSession* session, MapiFolder* folder);
    bool SetMessageFlags(ULONG flags);
    bool SetEditorFormat(ULONG format);
    // Resolves one name through the address book and adds it as a recipient
    // of recipientType (MAPI_TO, MAPI_CC, MAPI_BCC).
    bool AddRecipient(const char* name, ULONG recipientType, const char* addressType);
    bool AddRecipientList(LPADRLIST list);
    bool SetSubject(const char* text);
    // Streams text (with its zero byte) into PR_BODY and marks the body as
    // plain text.
    bool SetBody(const char* text);
    // Streams the file at path into a new attachment named displayName, or
    // after the file itself (AttachmentFileName) when none is given. The
    // file is opened sharing read and write access; PR_ATTACH_SIZE is set
    // only for a size that fits it. false when the file cannot be opened or
    // its contents did not all reach the attachment.
    bool AddAttachment(const char* path, const char* displayName, const char* contentId);
    // The same for a file already open for reading, from where it stands to
    // its end, attached under name (8-bit); the handle stays the caller's.
    bool AttachFile(HANDLE file, const char* name, const char* contentId);
    // Shows the message in the client's form: kFormShown, kFormCancelled or
    // kFormNotShown.
    int ShowForm(MapiSession* session);

    LPMESSAGE Message() const { return static_cast<LPMESSAGE>(object); }

    Text senderName;
    Text senderEmailAddress;
    Text subject;
    Text spareString1;
    Text spareString2;
    LPUNKNOWN auxiliary = nullptr;  // one owned reference; no operation sets it

private:
    bool SetLongProp(ULONG propTag, LONG value);
};
