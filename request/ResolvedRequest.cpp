#include "request/ResolvedRequest.h"

#include <cstdlib>
#include <utility>

#include "request/BodyFile.h"
#include "text/TextHelpers.h"
#include "text/WideToAnsi.h"
#include "text/WideToUtf8.h"
#include "win32/SharedRead.h"

namespace {

// The argument at index in UTF-8 (null for an option not given, or when
// memory runs out: ok then says so).
const char* Utf8At(const WCHAR* const* argv, int index, Text& utf8, bool& ok) {
    if (index == 0) return nullptr;
    ok = ok && WideToUtf8(argv[index], WideLength(argv[index]), utf8);
    return utf8.c_str();
}

size_t TypedNotInCodePage(const WCHAR* const* argv, int index) {
    return index != 0 ? CountNotInCodePage(argv[index], WideLength(argv[index])) : 0;
}

}  // namespace

ResolvedRequest::~ResolvedRequest() {
    for (size_t i = 0; i < fileCount_; ++i) {
        if (files_[i] != INVALID_HANDLE_VALUE) CloseHandle(files_[i]);
    }
    std::free(files_);
}

bool ResolvedRequest::OpenFiles(const CommandLine& line, const WCHAR* const* argv) {
    if (!line.files) return true;
    size_t count = 0;
    while (argv[line.firstFile + count] != nullptr) ++count;
    files_ = static_cast<HANDLE*>(count != 0 ? std::malloc(count * sizeof(HANDLE)) : nullptr);
    if (count != 0 && files_ == nullptr) return false;
    for (; fileCount_ < count; ++fileCount_) {
        const WCHAR* path = argv[line.firstFile + fileCount_];
        // Opened once, like the attachment: a folder, an empty argument or a
        // pipe is a file that cannot be opened, as it would be there.
        RoadFailure why;
        files_[fileCount_] = OpenSharedRead(path, &why);
        if (!request_.AddFile(path, files_[fileCount_], why)) {
            ++fileCount_;
            return false;
        }
        notInCodePage_ += CountNotInCodePage(path, WideLength(path));
    }
    return true;
}

bool ResolvedRequest::ResolveBody(const CommandLine& line, const WCHAR* const* argv) {
    if (line.body == 0) return true;
    if (line.bodyFromFile) {
        fromFile_ = true;
        Text body, exact;
        // A body file not taken whole would lose text.
        if (!ReadBodyFile(argv[line.body], body, bodyFile_, &exact)) return false;
        // ASCII is the same text in both forms: the body serves both.
        if (bodyFile_.ascii) {
            request_.SetBody(std::move(body), Text(), true);
        } else {
            request_.SetBody(std::move(exact), std::move(body), false);
        }
        return true;
    }
    bool ok = true;
    Text body;
    Utf8At(argv, line.body, body, ok);
    // The escape is read on the text as typed: only '\' itself starts one,
    // never a character the code page would turn into one (U+00A5 in 932).
    ReplaceAll(body, "\\n", "\n", CP_UTF8);
    outOfMemory_ = !ok || !request_.SetBody(body.c_str());
    return !outOfMemory_;
}

bool ResolvedRequest::Resolve(const CommandLine& line, const WCHAR* const* argv) {
    Text to, cc, bcc, subject;
    bool ok = true;
    ok = request_.SetRecipients(RecipientKind::To, Utf8At(argv, line.to, to, ok)) && ok;
    ok = request_.SetRecipients(RecipientKind::Cc, Utf8At(argv, line.cc, cc, ok)) && ok;
    ok = request_.SetRecipients(RecipientKind::Bcc, Utf8At(argv, line.bcc, bcc, ok)) && ok;
    ok = request_.SetSubject(Utf8At(argv, line.subject, subject, ok)) && ok;
    if (line.attachment != 0) {
        // Opened once, by the path as typed: every road and the report read
        // this handle.
        RoadFailure why;
        attachment_.Reset(OpenSharedRead(argv[line.attachment], &why));
        ok = request_.SetAttachment(argv[line.attachment], attachment_.Get(), why) && ok;
    }
    const int typed[] = {line.to,      line.cc,         line.bcc,
                         line.subject, line.attachment, line.bodyFromFile ? 0 : line.body};
    for (const int index : typed) notInCodePage_ += TypedNotInCodePage(argv, index);
    ok = OpenFiles(line, argv) && ok;
    if (!ok) {
        outOfMemory_ = true;
        return false;
    }
    const bool bodyTaken = ResolveBody(line, argv);
    // Finished even without a body, so that the report can count the rest.
    outOfMemory_ = outOfMemory_ || !request_.Finish();
    return bodyTaken && !outOfMemory_;
}
