#include "mapi/MessageItem.h"

#include <cstring>

#include "mapi/MapiFolder.h"
#include "mapi/MapiGuards.h"
#include "mapi/MapiSession.h"
#include "mapi/PropValues.h"
#include "mapi/ReadableString.h"
#include "text/TextHelpers.h"
#include "win32/FileHandle.h"
#include "win32/SharedRead.h"

namespace {

// Attachments are copied through one fixed buffer of this size.
constexpr DWORD kCopyChunk = 4096;

// PR_ATTACH_SIZE is a signed 32-bit count: the largest size it can hold.
constexpr ULONGLONG kLargestAttachSize = 0x7FFFFFFF;

// The content identifier that marks a contact's picture.
constexpr char kContactPicture[] = "ContactPicture.jpg";

SPropValue ZeroedValue(ULONG propTag) {
    SPropValue value;
    std::memset(&value, 0, sizeof value);
    value.ulPropTag = propTag;
    return value;
}

}  // namespace

MessageItem::~MessageItem() {
    MessageItem::Close();
}

int MessageItem::Open(MapiSession* newSession, SBinary id) {
    if (!MapiItem::Open(newSession, id)) return 0;
    GetStringProp(PR_SENDER_NAME, senderName, 0);

    Text addressType;
    GetStringProp(PR_SENDER_ADDRTYPE, addressType, 0);
    GetStringProp(PR_SENDER_EMAIL_ADDRESS, senderEmailAddress, 0);
    if (addressType == "EX") {
        // An Exchange address means little outside the organisation; the
        // address book knows the sender's SMTP address.
        LPSPropValue value = nullptr;
        if (GetProp(PR_SENDER_ENTRYID, &value) == S_OK) {
            MapiBuffer<SPropValue> held(value);
            const SBinary* sender = BinaryValue(value);
            if (session && sender)
                session->LookupSmtpAddress(sender->cb, reinterpret_cast<LPENTRYID>(sender->lpb),
                                           senderEmailAddress);
        }
    }
    GetStringProp(PR_SUBJECT, subject, 0);
    return 1;
}

void MessageItem::Close() {
    ReleaseField(auxiliary);
    MapiItem::Close();
}

bool MessageItem::Create(MapiSession* newSession, LONG importance, bool saveToSent,
                         MapiFolder* folder) {
    if (!newSession) return false;
    if (!folder) folder = newSession->currentFolder;
    if (!folder) folder = newSession->OpenOutbox(true);
    if (!CreateInFolder(newSession, folder)) return false;

    SetMessageFlags(MSGFLAG_UNSENT | MSGFLAG_FROMME);

    // The store's sent-items folder decides what happens after sending:
    // keep a copy there, or delete the message once submitted.
    MapiBuffer<SPropValue> sentItems;
    if (newSession->store &&
        GetSingleProp(newSession->store, PR_IPM_SENTMAIL_ENTRYID, sentItems) == S_OK) {
        const SBinary* sentId = BinaryValue(sentItems.Get());
        if (!saveToSent || sentId) {
            SPropValue value =
                ZeroedValue(saveToSent ? PR_SENTMAIL_ENTRYID : PR_DELETE_AFTER_SUBMIT);
            if (saveToSent)
                value.Value.bin = *sentId;
            else
                value.Value.b = TRUE;
            Message()->SetProps(1, &value, nullptr);
        }
        sentItems.Reset();
    }

    if (importance != IMPORTANCE_NORMAL) SetLongProp(PR_IMPORTANCE, importance);
    return true;
}

bool MessageItem::CreateInFolder(MapiSession* newSession, MapiFolder* folder) {
    if (!newSession) return false;
    if (!folder) folder = newSession->currentFolder;
    if (!folder) return false;
    Close();
    session = newSession;

    InterfaceHolder<IMessage> created;
    if (!folder->Folder()) return false;
    const HRESULT hr = folder->Folder()->CreateMessage(nullptr, 0, created.Out());
    if (hr != S_OK || !created) {
        newSession->NoteFailure("IMAPIFolder::CreateMessage", hr);
        return false;
    }
    object = created.Detach();

    LPSPropValue value = nullptr;
    if (GetProp(PR_ENTRYID, &value) == S_OK) {
        MapiBuffer<SPropValue> held(value);
        SetEntryId(BinaryValue(value));
    }
    return true;
}

bool MessageItem::SetLongProp(ULONG propTag, LONG value) {
    if (!object) return false;
    SPropValue prop = ZeroedValue(propTag);
    prop.Value.l = value;
    return Message()->SetProps(1, &prop, nullptr) == S_OK;
}

bool MessageItem::SetMessageFlags(ULONG flags) {
    return SetLongProp(PR_MESSAGE_FLAGS, static_cast<LONG>(flags));
}

bool MessageItem::SetEditorFormat(ULONG format) {
    return SetLongProp(PR_MSG_EDITOR_FORMAT, static_cast<LONG>(format));
}

bool MessageItem::AddRecipient(const char* name, ULONG recipientType, const char* addressType) {
    if (!object || !session || !name) return false;

    // The list and the entry's values are two separate blocks, as
    // ResolveName replaces the entry's block with one of its own.
    MapiBuffer<ADRLIST> list;
    if (MAPIAllocateBuffer(sizeof(ADRLIST), list.OutVoid()) != S_OK || !list) return false;
    std::memset(list.Get(), 0, sizeof(ADRLIST));
    list->cEntries = 1;
    ADRENTRY& entry = list->aEntries[0];
    entry.ulReserved1 = 0;
    entry.cValues = addressType ? 3 : 2;

    MapiBuffer<SPropValue> values;
    const ULONG valuesSize = entry.cValues * static_cast<ULONG>(sizeof(SPropValue));
    if (MAPIAllocateBuffer(valuesSize, values.OutVoid()) != S_OK || !values) return false;
    std::memset(values.Get(), 0, valuesSize);
    values.Get()[0].ulPropTag = PR_RECIPIENT_TYPE;
    values.Get()[0].Value.l = static_cast<LONG>(recipientType);
    values.Get()[1].ulPropTag = PR_DISPLAY_NAME;
    values.Get()[1].Value.lpszA = const_cast<LPSTR>(name);
    if (addressType) {
        values.Get()[2].ulPropTag = PR_ADDRTYPE;
        values.Get()[2].Value.lpszA = const_cast<LPSTR>(addressType);
    }
    entry.rgPropVals = values.Detach();

    const bool added = AddRecipientList(list.Get());
    FreeAddressList(list.Detach());
    return added;
}

bool MessageItem::AddRecipientList(LPADRLIST list) {
    if (!object || !session || !session->session) return false;
    InterfaceHolder<IAddrBook> book;
    if (session->session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, book.Out()) != S_OK || !book)
        return false;
    // Flags 0: no dialog, so an unknown or ambiguous name fails here.
    if (book->ResolveName(0, 0, nullptr, list) != S_OK) return false;
    return Message()->ModifyRecipients(MODRECIP_ADD, list) == S_OK;
}

bool MessageItem::SetSubject(const char* text) {
    subject = text ? text : "";
    return SetStringProp(PR_SUBJECT, text, 0) != 0;
}

bool MessageItem::SetBody(const char* text) {
    if (!SetStringProp(PR_BODY, text, 1)) return false;
    SetEditorFormat(EDITOR_FORMAT_PLAINTEXT);
    return true;
}

bool MessageItem::AddAttachment(const char* path, const char* displayName, const char* contentId) {
    if (!object || !path) return false;
    // A file that another program holds open for writing (a log being
    // written, a workbook open in its editor) is read as it stands.
    FileHandle file(OpenSharedRead(path));
    if (!file.IsOpen()) return false;
    Text ownName;
    const bool contactPhoto = contentId && std::strcmp(contentId, kContactPicture) == 0;
    if (!contactPhoto && !displayName && !AttachmentFileName(path, ownName)) return false;
    return AttachFile(file.Get(), displayName ? displayName : ownName.c_str(), contentId);
}

bool MessageItem::AttachFile(HANDLE file, const char* name, const char* contentId) {
    if (!object || !name) return false;
    const bool contactPhoto = contentId && std::strcmp(contentId, kContactPicture) == 0;
    const char* fileName = contactPhoto ? contentId : name;

    ULONG attachNumber = 0;
    InterfaceHolder<IAttach> attach;
    if (Message()->CreateAttach(nullptr, 0, &attachNumber, attach.Out()) != S_OK || !attach)
        return false;

    SPropValue props[5] = {ZeroedValue(PR_ATTACH_METHOD), ZeroedValue(PR_RENDERING_POSITION),
                           ZeroedValue(PR_ATTACH_LONG_FILENAME), ZeroedValue(PR_ATTACH_FILENAME),
                           ZeroedValue(PR_NULL)};
    props[0].Value.l = ATTACH_BY_VALUE;
    props[1].Value.l = -1;  // not rendered inside the body
    props[2].Value.lpszA = const_cast<LPSTR>(fileName);
    props[3].Value.lpszA = const_cast<LPSTR>(fileName);
    if (contactPhoto) {
        props[4].ulPropTag = PR_ATTACHMENT_CONTACTPHOTO;
        props[4].Value.b = TRUE;
    } else if (contentId) {
        props[4].ulPropTag = PR_ATTACH_CONTENT_ID;
        props[4].Value.lpszA = const_cast<LPSTR>(contentId);
    }
    // On the failure paths below the attachment is released unsaved, so it
    // never becomes part of the message.
    if (attach->SetProps(5, props, nullptr) != S_OK) return false;

    InterfaceHolder<IStream> stream;
    if (attach->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, MAPI_CREATE | MAPI_MODIFY,
                             stream.OutUnknown()) != S_OK ||
        !stream)
        return false;

    BYTE buffer[kCopyChunk];
    ULONGLONG total = 0;
    for (;;) {
        DWORD read = 0;
        // A failed read or write would leave a truncated copy of the file:
        // such an attachment is abandoned rather than saved.
        if (!ReadFile(file, buffer, kCopyChunk, &read, nullptr)) return false;
        if (read == 0) break;
        if (stream->Write(buffer, read, nullptr) != S_OK) return false;
        total += read;
    }
    stream->Commit(STGC_DEFAULT);
    stream.Reset();

    // A file too large for the size property gets none rather than a wrong
    // one; its data is complete all the same.
    if (total <= kLargestAttachSize) {
        SPropValue size = ZeroedValue(PR_ATTACH_SIZE);
        size.Value.l = static_cast<LONG>(total);
        attach->SetProps(1, &size, nullptr);
    }
    attach->SaveChanges(KEEP_OPEN_READONLY);
    return true;
}

int MessageItem::ShowForm(MapiSession* formSession) {
    if (!formSession || !formSession->session || !formSession->currentFolder || !object)
        return kFormNotShown;
    ULONG token = 0;
    HRESULT hr = formSession->session->PrepareForm(nullptr, Message(), &token);
    if (hr != S_OK) {
        formSession->NoteFailure("IMAPISession::PrepareForm", hr);
        return kFormNotShown;
    }

    const ULONG status = GetLongProp(PR_MSG_STATUS, 0);
    const ULONG flags = GetMessageFlags();
    const ULONG access = GetLongProp(PR_ACCESS, 0);
    LPSPropValue value = nullptr;
    hr = GetProp(PR_MESSAGE_CLASS, &value);
    if (hr != S_OK) {
        formSession->NoteFailure("IMessage::GetProps", hr);
        return kFormNotShown;
    }
    MapiBuffer<SPropValue> messageClass(value);
    LPCSTR className = ReadablePropString(value);
    if (!className) return kFormNotShown;

    hr = formSession->session->ShowForm(0, formSession->store, formSession->currentFolder->Folder(),
                                        nullptr, token, nullptr, 0, status, flags, access,
                                        const_cast<LPSTR>(className));
    messageClass.Reset();
    if (hr == S_OK) return kFormShown;
    if (hr == MAPI_E_USER_CANCEL) return kFormCancelled;
    formSession->NoteFailure("IMAPISession::ShowForm", hr);
    return kFormNotShown;
}
