// The request in the forms the roads take, resolved from the command line:
// the body from -body (its backslash-n pairs made line breaks) or from the
// body file, and for the roads beyond MAPI the text as it was typed, from
// the UTF-16 command line.
#pragma once

#include "front/BodyText.h"
#include "front/CommandLine.h"
#include "front/WideCommandLine.h"
#include "text/ComposeRequest.h"
#include "text/Text.h"

// Where the exact text came from, for the run's report.
struct ExactTextFacts {
    bool read = false;             // -eml or -mailto asked for it
    bool fromCommandLine = false;  // from the UTF-16 command line; else the ANSI arguments
    size_t notInCodePage = 0;      // characters of the request's texts the ANSI code page lacks
};

class ResolvedRequest {
public:
    ResolvedRequest() = default;
    ResolvedRequest(const ResolvedRequest&) = delete;
    ResolvedRequest& operator=(const ResolvedRequest&) = delete;

    // false when the body file cannot be taken whole (BodyFile() says why):
    // the run then stops before any road.
    bool Resolve(const CommandLine& line, int argc, const char* const* argv);

    // The MAPI roads' request: the ANSI arguments.
    const ComposeRequest& Request() const { return request_; }
    // The request of the roads beyond MAPI, when -eml or -mailto asked for
    // it; null otherwise, or when memory ran out.
    const ExactRequest* Exact() const { return hasExact_ ? &exact_ : nullptr; }
    const BodyFileFacts* BodyFile() const { return fromFile_ ? &bodyFile_ : nullptr; }
    const ExactTextFacts& ExactText() const { return exactText_; }

private:
    void ReadExactText(const CommandLine& line, int argc, const char* const* argv);

    ComposeRequest request_;
    ExactRequest exact_;
    bool hasExact_ = false;
    BodyFileFacts bodyFile_;
    bool fromFile_ = false;
    ExactTextFacts exactText_;
    Text body_;
    Text exactBody_;
    WideCommandLine wide_;
};
