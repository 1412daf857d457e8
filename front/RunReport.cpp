#include "front/RunReport.h"

#include <windows.h>

#include <cstring>

#include "front/LibraryBitness.h"
#include "front/MailClient.h"
#include "front/ResultNames.h"
#include "text/TextHelpers.h"
#include "win32/FileHandle.h"
#include "win32/SharedRead.h"
#include "win32/RegistryKey.h"

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
    Report& operator<<(unsigned long long number) {
        ok_ = ok_ && AppendDecimal(text_, number);
        return *this;
    }
    Report& Hex(uint32_t number) {
        static const char kDigits[] = "0123456789ABCDEF";
        char hex[10] = {'0', 'x'};
        for (int i = 0; i < 8; ++i) hex[2 + i] = kDigits[(number >> (28 - 4 * i)) & 0xF];
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
    report << (key.ReadString("ProductName", product) ? product.c_str() : "Windows");
    if (key.ReadNumber("CurrentMajorVersionNumber", major) &&
        key.ReadNumber("CurrentMinorVersionNumber", minor)) {
        report << ", version " << static_cast<unsigned long long>(major) << "."
               << static_cast<unsigned long long>(minor);
    } else if (key.ReadString("CurrentVersion", version)) {
        report << ", version " << version;
    }
    if (key.ReadString("CurrentBuild", build)) report << ", build " << build;
    if (key.ReadString("DisplayVersion", display)) report << " (" << display << ")";
    report.End();
}

unsigned long long Recipients(const char* list) {
    unsigned long long count = 0;
    SplitRecipientList(list, RecipientKind::To, [&count](const char*, RecipientKind) { ++count; });
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
        if (bodyFile.error != 0) {
            report << " (";
            Call(report, "error", RoadFailure::Code::Win32, bodyFile.error);
            report << ")";
        }
    }
    report.End();
}

// Where the roads beyond MAPI had their text from, and how much of it the
// MAPI roads' code page could not hold: counts, never words.
void ExactText(Report& report, const ExactTextFacts& exact) {
    if (!exact.read) return;
    report << "text for the draft file and link: ";
    if (exact.fromCommandLine) {
        const unsigned long long missing = exact.notInCodePage;
        report << "as typed (UTF-16 command line), " << missing
               << (missing == 1 ? " character" : " characters") << " not in the ANSI code page";
    } else {
        report << "the ANSI arguments (the UTF-16 command line could not be used)";
    }
    report.End();
}

void Request(Report& report, const ComposeRequest& request, const RunFacts& facts) {
    report << "request: To " << Recipients(request.to) << ", Cc " << Recipients(request.cc)
           << ", Bcc " << Recipients(request.bcc) << " recipients";
    Field(report, "subject", request.subject);
    Field(report, "body", request.body);
    if (facts.eml) report << ", -eml";
    if (facts.mailto) report << ", -mailto";
    report.End();
    if (facts.bodyFile != nullptr) Body(report, *facts.bodyFile);
    if (facts.exactText != nullptr) ExactText(report, *facts.exactText);
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

// The attachment as the MAPI roads open it, by its ANSI path, and where
// that names no file, as the draft road opens it, by its UTF-16 path.
void Attachment(Report& report, const char* path, const WCHAR* widePath) {
    report << "attachment: ";
    if (path == nullptr) {
        report << "none";
        report.End();
        return;
    }
    report << path;
    FileHandle file(OpenSharedRead(path));
    if (file.IsOpen()) {
        Size(report, file.Get());
        report.End();
        return;
    }
    const DWORD error = GetLastError();
    FileHandle wide(widePath != nullptr ? OpenSharedRead(widePath) : INVALID_HANDLE_VALUE);
    if (wide.IsOpen()) {
        Size(report, wide.Get());
        report << " by its UTF-16 path; by this ANSI one, as the MAPI roads take it, it cannot be "
                  "opened: ";
    } else {
        report << ", cannot be opened: ";
    }
    Call(report, "CreateFileA", RoadFailure::Code::Win32, error);
    report.End();
}

// Says what one library of the client is, and returns its bitness.
int Library(Report& report, const char* what, const MailClientLibrary& library) {
    report << what << ": ";
    int bits = 0;
    if (library.path.empty()) {
        report << "none registered";
    } else if (!library.found) {
        report << library.path << ", not found";
    } else {
        bits = LibraryBitness(library.path.c_str());
        report << library.path << ", ";
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
    report << "mail client: " << (client.name.empty() ? "none registered" : client.name.c_str());
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

void Roads(Report& report, const DispatchReport* dispatch) {
    if (dispatch == nullptr) {
        report << "roads: none tried";
        report.End();
        return;
    }
    Client(report);
    Road(report, "Drafts (Extended MAPI)", dispatch->drafts, "Extended MAPI library");
    Road(report, "send dialog (Simple MAPI)", dispatch->sendDialog, "Simple MAPI library");
    Road(report, "draft file (-eml)", dispatch->draftFile, nullptr);
    Road(report, "mailto: link (-mailto)", dispatch->mailtoLink, nullptr);
}

}  // namespace

void AppendRunReport(const char* path, const ComposeRequest& request, const RunFacts& facts) {
    Report report;
    When(report);
    Program(report);
    Windows(report);
    report << "ANSI code page: " << static_cast<unsigned long long>(GetACP());
    report.End();
    Request(report, request, facts);
    Attachment(report, request.attachment,
               facts.exactRequest != nullptr ? facts.exactRequest->attachment : nullptr);
    Roads(report, facts.dispatch);
    report << "exit code: " << (facts.exitCode == 0 ? "0" : "-1");
    report.End().End();
    if (!report.ok()) return;

    // Appending, one write for the whole report: runs that share the file
    // never interleave their lines.
    FileHandle log(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log.IsOpen()) return;
    DWORD written = 0;
    WriteFile(log.Get(), report.text().c_str(), static_cast<DWORD>(report.text().size()), &written,
              nullptr);
}
