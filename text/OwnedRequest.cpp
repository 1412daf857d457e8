#include "text/OwnedRequest.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "text/PathParts.h"
#include "text/RecipientEntry.h"
#include "text/TextHelpers.h"
#include "text/WideToAnsi.h"
#include "text/WideToUtf8.h"

namespace {

size_t Index(RecipientKind kind) {
    return static_cast<size_t>(kind) - 1;
}

// Appends the best fit of utf8 and its zero; where it starts, or npos.
size_t AppendEntry(Text& entries, const char* utf8, size_t size) {
    Text ansi;
    const size_t at = entries.size();
    if (!BestFitAnsi(utf8, size, ansi) || !entries.append(ansi.c_str(), ansi.size() + 1)) {
        return Text::npos;
    }
    return at;
}

}  // namespace

OwnedRequest::~OwnedRequest() {
    std::free(offsets_);
    std::free(recipients_);
    std::free(files_);
    std::free(built_);
}

bool OwnedRequest::SetRecipients(RecipientKind kind, const char* list) {
    listGiven_[Index(kind)] = list != nullptr;
    return lists_[Index(kind)].assign(list);
}

bool OwnedRequest::SetSubject(const char* subject) {
    subjectGiven_ = subject != nullptr;
    return subject_.assign(subject);
}

bool OwnedRequest::SetBody(const char* body) {
    bodyGiven_ = body != nullptr;
    bodyMadeHere_ = true;
    bodyShared_ = false;
    return body_.assign(body);
}

void OwnedRequest::SetBody(Text&& body, Text&& ansiBody, bool sameForBoth) {
    bodyGiven_ = true;
    bodyMadeHere_ = false;
    bodyShared_ = sameForBoth;
    body_ = std::move(body);
    ansiBody_ = std::move(ansiBody);
}

bool OwnedRequest::Keep(PendingFile& pending, const WCHAR* path, HANDLE file,
                        const RoadFailure& opening) {
    pending.file = AttachedFile();
    pending.file.path = path;
    pending.file.file = file;
    pending.file.opening = opening;
    // The name is the last part of the path as typed: a look-alike of '\'
    // in it stays part of the name.
    const WCHAR* last = LastPathPart(path);
    const size_t length = WideLength(last);
    pending.displayName = HasNameAndExtension(last);
    Text utf8, ansi;
    pending.name = names_.size();
    if (!WideToUtf8(last, length, utf8) || !names_.append(utf8.c_str(), utf8.size() + 1)) {
        return false;
    }
    pending.ansiName = names_.size();
    return BestFitAnsi(last, length, ansi) && names_.append(ansi.c_str(), ansi.size() + 1);
}

bool OwnedRequest::SetAttachment(const WCHAR* path, HANDLE file, const RoadFailure& opening) {
    attachmentGiven_ = true;
    return Keep(attachment_, path, file, opening);
}

bool OwnedRequest::AddFile(const WCHAR* path, HANDLE file, const RoadFailure& opening) {
    if (fileCount_ == fileRoom_) {
        const size_t room = fileRoom_ == 0 ? 8 : 2 * fileRoom_;
        void* grown = std::realloc(files_, room * sizeof(PendingFile));
        if (grown == nullptr) return false;
        files_ = static_cast<PendingFile*>(grown);
        fileRoom_ = room;
    }
    if (!Keep(files_[fileCount_], path, file, opening)) return false;
    ++fileCount_;
    return true;
}

bool OwnedRequest::AddRecipients(RecipientKind kind, const char* list) {
    bool ok = true;
    // Split on the text as typed: only ';' itself separates, never a
    // look-alike that the code page would turn into one.
    SplitRecipientList(
        list, kind,
        [this, &ok](const char* entry, RecipientKind entryKind) {
            if (!ok) return;
            if (recipientCount_ == recipientRoom_) {
                const size_t room = recipientRoom_ == 0 ? 8 : 2 * recipientRoom_;
                void* grown = std::realloc(offsets_, room * sizeof(Offsets));
                if (grown == nullptr) {
                    ok = false;
                    return;
                }
                offsets_ = static_cast<Offsets*>(grown);
                recipientRoom_ = room;
            }
            Offsets& entryAt = offsets_[recipientCount_];
            entryAt.kind = entryKind;
            entryAt.name = AppendEntry(entries_, entry, std::strlen(entry));
            entryAt.address = Text::npos;
            Text displayName, address;
            if (SplitRecipientEntry(entry, displayName, address, CP_UTF8)) {
                entryAt.address = AppendEntry(entries_, address.c_str(), address.size());
                ok = entryAt.address != Text::npos;
            }
            ok = ok && entryAt.name != Text::npos;
            ++recipientCount_;
        },
        CP_UTF8);
    return ok;
}

bool OwnedRequest::Finish() {
    request_ = ComposeRequest();
    entries_.clear();
    recipientCount_ = 0;
    const RecipientKind kinds[] = {RecipientKind::To, RecipientKind::Cc, RecipientKind::Bcc};
    for (const RecipientKind kind : kinds) {
        if (listGiven_[Index(kind)] && !AddRecipients(kind, lists_[Index(kind)].c_str())) {
            return false;
        }
    }
    std::free(recipients_);
    recipients_ = static_cast<AnsiRecipient*>(
        recipientCount_ != 0 ? std::malloc(recipientCount_ * sizeof(AnsiRecipient)) : nullptr);
    if (recipientCount_ != 0 && recipients_ == nullptr) return false;
    // Pointers into the entries only now that they have stopped growing.
    for (size_t i = 0; i < recipientCount_; ++i) {
        const Offsets& at = offsets_[i];
        recipients_[i] = {at.kind, entries_.c_str() + at.name,
                          at.address != Text::npos ? entries_.c_str() + at.address : nullptr};
    }
    request_.recipients = recipients_;
    request_.recipientCount = recipientCount_;

    const char* const lists[] = {lists_[0].c_str(), lists_[1].c_str(), lists_[2].c_str()};
    request_.to = listGiven_[0] ? lists[0] : nullptr;
    request_.cc = listGiven_[1] ? lists[1] : nullptr;
    request_.bcc = listGiven_[2] ? lists[2] : nullptr;
    if (subjectGiven_) {
        if (!BestFitAnsi(subject_.c_str(), subject_.size(), ansiSubject_)) return false;
        request_.subject = subject_.c_str();
        request_.ansiSubject = ansiSubject_.c_str();
    }
    if (bodyGiven_) {
        if (bodyMadeHere_ && !BestFitAnsi(body_.c_str(), body_.size(), ansiBody_)) return false;
        request_.body = body_.c_str();
        request_.ansiBody = bodyShared_ ? body_.c_str() : ansiBody_.c_str();
    }
    // Pointers into the names only now that they have stopped growing.
    const size_t count = (attachmentGiven_ ? 1 : 0) + fileCount_;
    std::free(built_);
    built_ = static_cast<AttachedFile*>(count != 0 ? std::malloc(count * sizeof(AttachedFile))
                                                   : nullptr);
    if (count != 0 && built_ == nullptr) return false;
    for (size_t i = 0; i < count; ++i) {
        const PendingFile& pending =
            attachmentGiven_ && i == 0 ? attachment_ : files_[i - (attachmentGiven_ ? 1 : 0)];
        AttachedFile& file = built_[i];
        file = pending.file;
        file.name = names_.c_str() + pending.name;
        file.ansiName = names_.c_str() + pending.ansiName;
        file.displayName = pending.displayName && std::strlen(file.ansiName) < kDisplayNameSize
                               ? file.ansiName
                               : nullptr;
    }
    request_.attachment = attachmentGiven_ ? built_ : nullptr;
    request_.files = built_ + (attachmentGiven_ ? 1 : 0);
    request_.fileCount = fileCount_;
    return true;
}
