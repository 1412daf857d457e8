#include "front/ResolvedRequest.h"

#include "front/BodyFile.h"
#include "text/TextHelpers.h"
#include "text/WideToAnsi.h"
#include "text/WideToUtf8.h"

namespace {

size_t NotInCodePage(const WCHAR* const* wide, int index) {
    return index != 0 ? CountNotInCodePage(wide[index], WideLength(wide[index])) : 0;
}

}  // namespace

void ResolvedRequest::ReadExactText(const CommandLine& line, int argc, const char* const* argv) {
    exactText_.read = true;
    // Used only where it holds the same options at the same places as the
    // ANSI arguments: then each value is the same argument, as typed.
    exactText_.fromCommandLine =
        wide_.Read() && ParseCommandLine(wide_.Count(), wide_.Utf8()) == line;
    if (exactText_.fromCommandLine) {
        const WCHAR* const* wide = wide_.Wide();
        const int texts[] = {line.to,      line.cc,         line.bcc,
                             line.subject, line.attachment, line.bodyFromFile ? 0 : line.body};
        for (const int index : texts) exactText_.notInCodePage += NotInCodePage(wide, index);
    } else if (!wide_.FromAnsi(argc, argv)) {
        return;
    }
    const char* const* utf8 = wide_.Utf8();
    exact_.to = ArgumentAt(utf8, line.to);
    exact_.cc = ArgumentAt(utf8, line.cc);
    exact_.bcc = ArgumentAt(utf8, line.bcc);
    exact_.subject = ArgumentAt(utf8, line.subject);
    exact_.attachment = line.attachment != 0 ? wide_.Wide()[line.attachment] : nullptr;
    hasExact_ = true;
}

bool ResolvedRequest::Resolve(const CommandLine& line, int argc, const char* const* argv) {
    request_.to = ArgumentAt(argv, line.to);
    request_.cc = ArgumentAt(argv, line.cc);
    request_.bcc = ArgumentAt(argv, line.bcc);
    request_.subject = ArgumentAt(argv, line.subject);
    request_.attachment = ArgumentAt(argv, line.attachment);
    if (line.eml || line.mailto) ReadExactText(line, argc, argv);
    if (line.body == 0) return true;

    if (line.bodyFromFile) {
        fromFile_ = true;
        // A body file not taken whole would lose text.
        if (!ReadBodyFile(argv[line.body], body_, bodyFile_, CP_ACP,
                          hasExact_ ? &exactBody_ : nullptr,
                          hasExact_ ? wide_.Wide()[line.body] : nullptr)) {
            return false;
        }
    } else {
        // Without memory for the copy the body is empty rather than cut.
        if (!body_.assign(argv[line.body])) body_.clear();
        ReplaceAll(body_, "\\n", "\n");
        if (hasExact_) {
            if (!exactBody_.assign(wide_.Utf8()[line.body])) exactBody_.clear();
            ReplaceAll(exactBody_, "\\n", "\n", CP_UTF8);
        }
    }
    request_.body = body_.c_str();
    // ASCII from a file is the same text in UTF-8: the body serves both.
    const bool shared = fromFile_ && bodyFile_.ascii;
    if (hasExact_) exact_.body = shared ? body_.c_str() : exactBody_.c_str();
    return true;
}
