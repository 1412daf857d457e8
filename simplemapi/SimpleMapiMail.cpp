#include "simplemapi/SimpleMapiMail.h"

#include <cstdlib>
#include <cstring>

#include "text/RecipientKind.h"

namespace {

// A heap copy of prefix and text, or null when text is null or the block
// cannot be allocated.
char* CopyText(const char* text, const char* prefix = "") {
    if (text == nullptr) return nullptr;
    const size_t head = std::strlen(prefix);
    const size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(head + size));
    if (copy == nullptr) return nullptr;
    std::memcpy(copy, prefix, head);
    std::memcpy(copy + head, text, size);
    return copy;
}

// Enlarges array to count + 1 entries and zeroes the new one; false (array
// unchanged) when it cannot be enlarged.
template <typename Record>
bool GrowByOne(Record*& array, ULONG count) {
    void* grown = std::realloc(array, (static_cast<size_t>(count) + 1) * sizeof(Record));
    if (grown == nullptr) return false;
    array = static_cast<Record*>(grown);
    std::memset(&array[count], 0, sizeof(Record));
    return true;
}

}  // namespace

SimpleMapiMail::SimpleMapiMail()
    : lastError(SimpleMapiError::NoError),
      sendEntry(nullptr),
      sendResult(MAPI_E_FAILURE),
      library("MAPI32.DLL") {
    std::memset(&message, 0, sizeof message);
    std::memset(&originator, 0, sizeof originator);
    message.lpOriginator = &originator;
    originator.ulRecipClass = MAPI_ORIG;

    if (!library.IsLoaded()) {
        lastError = SimpleMapiError::LibraryNotLoaded;
        return;
    }
    sendEntry = library.Find<LPMAPISENDMAIL>("MAPISendMail");
    if (sendEntry == nullptr) lastError = SimpleMapiError::EntryPointMissing;
}

SimpleMapiMail::~SimpleMapiMail() {
    // Send has normally freed the copies already; this covers an object
    // destroyed without sending.
    FreeCopies();
    std::free(message.lpFiles);
    std::free(message.lpRecips);
}

SimpleMapiError SimpleMapiMail::TakeLastError() {
    const SimpleMapiError error = lastError;
    lastError = SimpleMapiError::NoError;
    return error;
}

bool SimpleMapiMail::Refuse(SimpleMapiError error, char* copy, char* otherCopy) {
    std::free(copy);
    std::free(otherCopy);
    lastError = error;
    return false;
}

bool SimpleMapiMail::AddRecipient(const char* name, RecipientKind kind, const char* address) {
    if (!GrowByOne(message.lpRecips, message.nRecipCount)) {
        return Refuse(SimpleMapiError::RecipientsNotGrown);
    }
    // An entry that holds an address carries it as a one-off SMTP address,
    // which clients take without an address book; a client may drop a
    // recipient that has only a name it cannot resolve.
    char* nameCopy = CopyText(name);
    char* addressCopy = CopyText(address, "SMTP:");
    // The new entry stays zeroed and uncounted unless its copies exist.
    if (nameCopy == nullptr || (address != nullptr && addressCopy == nullptr)) {
        return Refuse(SimpleMapiError::RecipientsNotGrown, nameCopy, addressCopy);
    }
    MapiRecipDesc& recipient = message.lpRecips[message.nRecipCount];
    recipient.lpszName = nameCopy;
    recipient.lpszAddress = addressCopy;
    recipient.ulRecipClass = MapiRecipientType(kind);
    ++message.nRecipCount;
    return true;
}

bool SimpleMapiMail::AddAttachment(const char* path, const char* displayName) {
    if (!GrowByOne(message.lpFiles, message.nFileCount)) {
        return Refuse(SimpleMapiError::AttachmentsNotGrown);
    }
    char* pathCopy = CopyText(path);
    char* nameCopy = CopyText(displayName);
    if (pathCopy == nullptr || (displayName != nullptr && nameCopy == nullptr)) {
        return Refuse(SimpleMapiError::AttachmentsNotGrown, pathCopy, nameCopy);
    }
    MapiFileDesc& file = message.lpFiles[message.nFileCount];
    file.lpszPathName = pathCopy;
    file.lpszFileName = nameCopy;
    ++message.nFileCount;
    return true;
}

bool SimpleMapiMail::Send(FLAGS flags) {
    // Each attachment takes the place of one space added after the text.
    // Should the space not fit in memory, the client places the attachment
    // itself (position -1) rather than over a character of the text.
    for (ULONG i = 0; i < message.nFileCount; ++i) {
        const size_t position = noteText.size();
        message.lpFiles[i].nPosition =
            noteText.append(" ", 1) ? static_cast<ULONG>(position) : static_cast<ULONG>(-1);
    }
    // MAPISendMail only reads the text; MapiMessage's field is not const.
    message.lpszNoteText = const_cast<char*>(noteText.c_str());

    sendResult = MAPI_E_FAILURE;
    if (sendEntry != nullptr) {
        sendResult = sendEntry(0, 0, &message, flags | MAPI_LOGON_UI, 0);
    }
    FreeCopies();
    return sendResult == SUCCESS_SUCCESS || sendResult == MAPI_USER_ABORT ||
           sendResult == MAPI_E_LOGIN_FAILURE;
}

void SimpleMapiMail::FreeCopies() {
    for (ULONG i = 0; i < message.nRecipCount; ++i) {
        std::free(message.lpRecips[i].lpszName);
        std::free(message.lpRecips[i].lpszAddress);
        message.lpRecips[i].lpszName = nullptr;
        message.lpRecips[i].lpszAddress = nullptr;
    }
    for (ULONG i = 0; i < message.nFileCount; ++i) {
        std::free(message.lpFiles[i].lpszPathName);
        std::free(message.lpFiles[i].lpszFileName);
        message.lpFiles[i].lpszPathName = nullptr;
        message.lpFiles[i].lpszFileName = nullptr;
    }
}
