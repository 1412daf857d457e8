// A compose request that owns its texts. Each text is given as typed, and
// the MAPI roads' 8-bit view is made from it here, once: every structure a
// value holds (the recipients between ';', the address in an entry, the
// file's name in its path) is read on the text as typed, before any
// conversion, so that no look-alike the code page puts in can change it.
#pragma once

#include <windows.h>

#include "text/ComposeRequest.h"
#include "text/Text.h"

class OwnedRequest {
public:
    OwnedRequest() = default;
    ~OwnedRequest();
    OwnedRequest(const OwnedRequest&) = delete;
    OwnedRequest& operator=(const OwnedRequest&) = delete;

    // The fields as typed (UTF-8; null: not given). Each false when memory
    // runs out.
    bool SetRecipients(RecipientKind kind, const char* list);
    bool SetSubject(const char* subject);
    // A body whose 8-bit form is the code page's best fit of it.
    bool SetBody(const char* body);
    // A body whose 8-bit form was made from its source (a body file); with
    // sameForBoth, body alone serves both (ASCII text).
    void SetBody(Text&& body, Text&& ansiBody, bool sameForBoth);
    // The file named path, opened for reading by the caller (file, which
    // stays the caller's to close), or not (opening says why); path stays
    // the caller's too. The attachment comes first, then each added file.
    bool SetAttachment(const WCHAR* path, HANDLE file, const RoadFailure& opening);
    bool AddFile(const WCHAR* path, HANDLE file, const RoadFailure& opening);

    // Makes the 8-bit view; false when memory runs out.
    bool Finish();
    // After Finish: the request, valid as long as this object is.
    const ComposeRequest& Request() const { return request_; }

private:
    bool AddRecipients(RecipientKind kind, const char* list);
    // A file as it is kept until Finish: its names' places in names_.
    struct PendingFile {
        AttachedFile file;
        size_t name, ansiName;
        bool displayName;
    };
    bool Keep(PendingFile& pending, const WCHAR* path, HANDLE file, const RoadFailure& opening);

    Text lists_[3];
    bool listGiven_[3] = {false, false, false};
    Text subject_, ansiSubject_;
    bool subjectGiven_ = false;
    Text body_, ansiBody_;
    bool bodyGiven_ = false, bodyMadeHere_ = false, bodyShared_ = false;
    PendingFile attachment_;
    bool attachmentGiven_ = false;
    PendingFile* files_ = nullptr;
    size_t fileCount_ = 0, fileRoom_ = 0;
    Text names_;  // each file's name in UTF-8 and in the ANSI code page, each ending in a zero
    AttachedFile* built_ = nullptr;

    // The recipients' 8-bit names and addresses, each ending in a zero, and
    // where each one starts in it (Text::npos: no address).
    Text entries_;
    struct Offsets {
        RecipientKind kind;
        size_t name, address;
    };
    Offsets* offsets_ = nullptr;
    AnsiRecipient* recipients_ = nullptr;
    size_t recipientCount_ = 0, recipientRoom_ = 0;
    ComposeRequest request_;
};
