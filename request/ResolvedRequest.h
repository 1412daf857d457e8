// The request resolved from the command line as typed: every text in UTF-8,
// the body from -body (its backslash-n pairs made line breaks) or from the
// body file, each file to attach opened once, and the MAPI roads' 8-bit
// view.
#pragma once

#include <windows.h>

#include "request/BodyText.h"
#include "request/CommandLine.h"
#include "text/ComposeRequest.h"
#include "text/OwnedRequest.h"
#include "win32/FileHandle.h"

class ResolvedRequest {
public:
    ResolvedRequest() = default;
    ~ResolvedRequest();
    ResolvedRequest(const ResolvedRequest&) = delete;
    ResolvedRequest& operator=(const ResolvedRequest&) = delete;

    // false when the run must stop before any road: the body file cannot be
    // taken whole (BodyFile() says why), or there is no memory for the
    // request (OutOfMemory()); a request cut short would lose text.
    bool Resolve(const CommandLine& line, const WCHAR* const* argv);

    const ComposeRequest& Request() const { return request_.Request(); }
    const BodyFileFacts* BodyFile() const { return fromFile_ ? &bodyFile_ : nullptr; }
    // Characters of the typed text (recipients, subject, a -body text, the
    // attachment's path) that the ANSI code page lacks: the MAPI roads get a
    // look-alike or '?' for each.
    size_t NotInCodePage() const { return notInCodePage_; }
    bool OutOfMemory() const { return outOfMemory_; }

private:
    bool ResolveBody(const CommandLine& line, const WCHAR* const* argv);
    bool OpenFiles(const CommandLine& line, const WCHAR* const* argv);

    OwnedRequest request_;
    FileHandle attachment_;
    HANDLE* files_ = nullptr;  // -files' files, each opened once; closed with the request
    size_t fileCount_ = 0;
    BodyFileFacts bodyFile_;
    bool fromFile_ = false;
    bool outOfMemory_ = false;
    size_t notInCodePage_ = 0;
};
