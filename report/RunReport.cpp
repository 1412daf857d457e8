#include "report/RunReport.h"

#include <windows.h>

#include <cstring>

#include "report/LibraryBitness.h"
#include "front/MailClient.h"
#include "report/ResultNames.h"
#include "text/HexDigits.h"
#include "text/TextHelpers.h"
#include "text/WideText.h"
#include "text/WideToUtf8.h"
#include "win32/FileHandle.h"
#include "win32/LongPath.h"
#include "win32/RegistryKey.h"
#include "win32/SharedRead.h"

namespace {

constexpr int kBuildBits = sizeof(void*) == 8 ? 64 : 32;

// The report's text, a line at a time; a failed allocation spoils it, and
// a spoilt report is not written.
class Report {
public:
    Report& operator<<(const char* text) {
        ok_ = ok_ && text_.append(text, std::strlen(text));
        return *this;
    }
    Report& operator<<(const Text& text) {
        ok_ = ok_ && text_.append(text.c_str(), text.size());
        return *this;
    }
    // UTF-8 text from outside the program (a path, a registry string), with
    // every control and bidirectional formatting character as <U+XXXX>, so
    // that it can neither start a line of its own nor turn one around.
    Report& Quoted(const char* utf8) {
        ok_ = ok_ && AppendEscaped(utf8, text_);
        return *this;
    }
    Report& operator<<(unsigned long long number) {
        ok_ = ok_ && AppendDecimal(text_, number);
        return *this;
    }
    Report& Hex(uint32_t number) {
        char hex[10] = {'0', 'x'};
        for (int i = 0; i < 8; ++i) hex[2 + i] = kHexDigits[(number >> (28 - 4 * i)) & 0xF];
        ok_ = ok_ && text_.append(hex, sizeof hex);
        return *this;
    }
    Report& Two(unsigned number) {  // two digits, as in a time
        ok_ = ok_ && AppendDecimal(text_, number % 100, 2);
        return *this;
    }
    Report& End() { return *this << "\r\n"; }
    bool ok() const { return ok_; }
    const Text& text() const { return text_; }

private:
    Text text_;
    bool ok_ = true;
};

// Whether code point c is a control (C0, DEL, C1) or one of the characters
// that reorder text or break a line: the marks, embeddings, overrides,
// isolates and separators.
bool Escaped(uint32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x2028 ||
           c == 0x2029;
}

// The code point that starts at utf8 and how many bytes it takes (1 for a
// byte that starts none, which stands as U+FFFD).
uint32_t CodePoint(const unsigned char* utf8, size_t& bytes) {
    const unsigned char lead = utf8[0];
    bytes = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    uint32_t c = bytes == 1 ? lead : lead & (0x3F >> (bytes - 1));
    for (size_t i = 1; i < bytes; ++i) {
        if ((utf8[i] & 0xC0) != 0x80) {
            bytes = 0;
            break;
        }
        c = c << 6 | (utf8[i] & 0x3F);
    }
    if (bytes == 0) {
        bytes = 1;
        return 0xFFFD;
    }
    return c;
}

void When(Report& report) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    report << "Quillora run " << static_cast<unsigned long long>(now.wYear) << "-";
    report.Two(now.wMonth) << "-";
    report.Two(now.wDay) << " ";
    report.Two(now.wHour) << ":";
    report.Two(now.wMinute) << ":";
    report.Two(now.wSecond).End();
}

void Program(Report& report) {
    report << "program: Quillora " << QUILLORA_VERSION << ", " << (kBuildBits == 64 ? "x64" : "x86")
           << " build";
    report.End();
}

void Windows(Report& report) {
    RegistryKey key;
    Text product, build, display, version;
    DWORD major = 0, minor = 0;
    report << "windows: ";
    if (!key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion")) {
        report << "unknown";
        report.End();
        return;
    }
    report.Quoted(key.ReadString("ProductName", product) ? product.c_str() : "Windows");
    if (key.ReadNumber("CurrentMajorVersionNumber", major) &&
        key.ReadNumber("CurrentMinorVersionNumber", minor)) {
        report << ", version " << static_cast<unsigned long long>(major) << "."
               << static_cast<unsigned long long>(minor);
    } else if (key.ReadString("CurrentVersion", version)) {
        report << ", version ";
        report.Quoted(version.c_str());
    }
    if (key.ReadString("CurrentBuild", build)) report.Quoted(", build ").Quoted(build.c_str());
    if (key.ReadString("DisplayVersion", display)) {
        report.Quoted(" (").Quoted(display.c_str()) << ")";
    }
    report.End();
}

unsigned long long Recipients(const ComposeRequest& request, RecipientKind kind) {
    unsigned long long count = 0;
    for (size_t i = 0; i < request.recipientCount; ++i) count += request.recipients[i].kind == kind;
    return count;
}

void Field(Report& report, const char* name, const char* value) {
    report << ", " << name << " ";
    if (value == nullptr) {
        report << "none";
    } else {
        const size_t length = std::strlen(value);
        report << static_cast<unsigned long long>(length) << (length == 1 ? " byte" : " bytes");
    }
}

void Call(Report& report, const char* call, RoadFailure::Code kind, uint32_t code);

void Body(Report& report, const BodyFileFacts& bodyFile) {
    report << "body file: ";
    if (bodyFile.encoding != nullptr) {
        const unsigned long long missing = bodyFile.notInCodePage;
        report << bodyFile.encoding << ", " << missing
               << (missing == 1 ? " character" : " characters") << " not in the code page";
    } else {
        report << "refused: " << (bodyFile.refusal ? bodyFile.refusal : "it cannot be taken whole");
        if (bodyFile.call != nullptr) {
            report << " (";
            Call(report, bodyFile.call, RoadFailure::Code::Win32, bodyFile.error);
            report << ")";
        }
    }
    report.End();
}

// How much of the typed text the MAPI roads' code page lacks: counts,
// never words.
void BeyondCodePage(Report& report, size_t notInCodePage) {
    const unsigned long long missing = notInCodePage;
    report << "text beyond the ANSI code page: " << missing
           << (missing == 1 ? " character" : " characters")
           << " (the draft file and link take the text as typed, the MAPI roads a look-alike or "
              "'?')";
    report.End();
}

void Request(Report& report, const ComposeRequest& request, const RunFacts& facts) {
    if (facts.outOfMemory) {
        report << "request: there is not enough memory for it";
        report.End();
        return;
    }
    report << "request: To " << Recipients(request, RecipientKind::To) << ", Cc "
           << Recipients(request, RecipientKind::Cc) << ", Bcc "
           << Recipients(request, RecipientKind::Bcc) << " recipients";
    Field(report, "subject", request.subject);
    Field(report, "body", request.body);
    if (facts.eml) report << ", -eml";
    if (facts.mailto) report << ", -mailto";
    if (facts.files) report << ", -files";
    report.End();
    if (facts.bodyFile != nullptr) Body(report, *facts.bodyFile);
    BeyondCodePage(report, facts.notInCodePage);
}

void Call(Report& report, const char* call, RoadFailure::Code kind, uint32_t code) {
    report << call << " ";
    if (kind == RoadFailure::Code::HResult) {
        report.Hex(code);
    } else {
        report << static_cast<unsigned long long>(code);
    }
    if (const char* name = ResultName(kind, code)) report << " " << name;
}

void Size(Report& report, HANDLE file) {
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size)) {
        report << ", " << static_cast<unsigned long long>(size.QuadPart) << " bytes";
    }
}

// A file by its path as typed, and its size or why it cannot be read, from
// the one opening every road shares.
void File(Report& report, const AttachedFile& file) {
    Text path;
    if (!WideToUtf8(file.path, WideLength(file.path), path)) path.clear();
    report.Quoted(path.c_str());
    if (file.IsOpen()) {
        Size(report, file.file);
    } else if (file.opening.call != nullptr) {
        report << ", cannot be opened: ";
        Call(report, file.opening.call, file.opening.kind, file.opening.code);
    } else if (file.opening.refusal != nullptr) {
        report << ", cannot be opened: " << file.opening.refusal;
    }
    report.End();
}

// The attachment, or with -files every file, one a line.
void Files(Report& report, const ComposeRequest& request, bool files) {
    const size_t count = request.AttachmentCount();
    if (!files) {
        report << "attachment: ";
        if (count == 0) {
            report << "none";
            report.End();
        } else {
            File(report, request.Attachment(0));
        }
        return;
    }
    report << "files: " << static_cast<unsigned long long>(count);
    report.End();
    for (size_t i = 0; i < count; ++i) {
        report << "file " << static_cast<unsigned long long>(i + 1) << ": ";
        File(report, request.Attachment(i));
    }
}

// The files a draft shown in the form went without, which that road alone
// may leave out.
void LeftOut(Report& report, const DispatchReport& dispatch, size_t count) {
    if (dispatch.drafts.result != 0 || dispatch.attachedToDraft == nullptr) return;
    bool any = false;
    for (size_t i = 0; i < count; ++i) {
        if (dispatch.attachedToDraft[i]) continue;
        report << (any ? ", " : "left out of the draft: file ")
               << static_cast<unsigned long long>(i + 1);
        any = true;
    }
    if (any) report.End();
}

// Says what one library of the client is, and returns its bitness.
int Library(Report& report, const char* what, const MailClientLibrary& library) {
    report << what << ": ";
    int bits = 0;
    if (library.path.empty()) {
        report << "none registered";
    } else if (!library.found) {
        report.Quoted(library.path.c_str()) << ", not found";
    } else {
        bits = LibraryBitness(library.path.c_str());
        report.Quoted(library.path.c_str()) << ", ";
        if (bits == 0) {
            report << "not a Windows library";
        } else {
            report << static_cast<unsigned long long>(bits) << "-bit";
        }
    }
    report.End();
    return bits;
}

// The default mail client as the MAPI roads would find it now, looked up
// for the report alone.
void Client(Report& report) {
    const MailClient client = LookUpMailClient();
    report << "mail client: ";
    report.Quoted(client.name.empty() ? "none registered" : client.name.c_str());
    report.End();
    if (client.name.empty()) return;
    const int extended = Library(report, "Extended MAPI library (DLLPathEx)", client.extended);
    const int simple = Library(report, "Simple MAPI library (DLLPath)", client.simple);
    // A program loads a MAPI library of its own bitness only.
    const int other = extended != 0 && extended != kBuildBits ? extended
                      : simple != 0 && simple != kBuildBits   ? simple
                                                              : 0;
    if (other == 0) return;
    report << "bitness: the mail client's MAPI is " << static_cast<unsigned long long>(other)
           << "-bit and this is the " << (kBuildBits == 64 ? "x64" : "x86") << " build: use the "
           << (other == 32 ? "x86" : "x64") << " package for a "
           << static_cast<unsigned long long>(other) << "-bit client";
    report.End();
}

void Road(Report& report, const char* name, const RoadOutcome& road, const char* library) {
    if (!road.tried && !road.skipped) return;
    report << "road " << name << ": ";
    const RoadFailure& failure = road.failure;
    if (road.skipped) {
        report << "not tried: the mail client has no " << library;
    } else {
        report << (road.result == 0 ? "succeeded" : "failed");
        if (failure.call != nullptr) {
            report << ": ";
            Call(report, failure.call, failure.kind, failure.code);
        } else if (failure.refusal != nullptr) {
            report << ": " << failure.refusal;
        }
    }
    report.End();
}

void Roads(Report& report, const DispatchReport* dispatch, size_t files) {
    if (dispatch == nullptr) {
        report << "roads: none tried";
        report.End();
        return;
    }
    Client(report);
    Road(report, "Drafts (Extended MAPI)", dispatch->drafts, "Extended MAPI library");
    LeftOut(report, *dispatch, files);
    Road(report, "send dialog (Simple MAPI)", dispatch->sendDialog, "Simple MAPI library");
    Road(report, "draft file (-eml)", dispatch->draftFile, nullptr);
    Road(report, "mailto: link (-mailto)", dispatch->mailtoLink, nullptr);
}

}  // namespace

bool AppendEscaped(const char* utf8, Text& out) {
    const auto* at = reinterpret_cast<const unsigned char*>(utf8);
    while (*at != 0) {
        size_t bytes = 0;
        const uint32_t c = CodePoint(at, bytes);
        if (Escaped(c)) {
            char escape[] = "<U+0000>";
            for (int i = 0; i < 4; ++i) escape[6 - i] = kHexDigits[(c >> (4 * i)) & 0xF];
            if (!out.append(escape, 8)) return false;
        } else if (!out.append(reinterpret_cast<const char*>(at), bytes)) {
            return false;
        }
        at += bytes;
    }
    return true;
}

void AppendRunReport(const WCHAR* path, const ComposeRequest& request, const RunFacts& facts) {
    Report report;
    When(report);
    Program(report);
    Windows(report);
    report << "ANSI code page: " << static_cast<unsigned long long>(GetACP());
    report.End();
    Request(report, request, facts);
    Files(report, request, facts.files);
    Roads(report, facts.dispatch, request.AttachmentCount());
    report << "exit code: " << (facts.exitCode == 0 ? "0" : "-1");
    report.End().End();
    if (!report.ok()) return;

    // Appending, one write for the whole report: runs that share the file
    // never interleave their lines. Only to a file on a disk: a pipe could
    // hold the run up for ever.
    WideText usable;
    if (!LongPathForm(path, usable)) return;
    const HANDLE opened =
        CreateFileW(usable.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    // UTF-8's byte order mark, which Notepad and its kind go by, only at the
    // start of a file this run made, never in the middle of an old log.
    const bool created = opened != INVALID_HANDLE_VALUE && GetLastError() != ERROR_ALREADY_EXISTS;
    if (opened == INVALID_HANDLE_VALUE || !KeepDiskFile(opened, nullptr)) return;
    FileHandle log(opened);
    Text text;
    if (!text.assign(created ? "\xEF\xBB\xBF" : "") ||
        !text.append(report.text().c_str(), report.text().size())) {
        return;
    }
    DWORD written = 0;
    WriteFile(log.Get(), text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
}
