#include "eml/DraftMessage.h"

#include <cstring>

#include "eml/AddressList.h"
#include "eml/AttachmentPart.h"
#include "eml/FileNameParameter.h"
#include "eml/HeaderText.h"
#include "eml/HeaderWriter.h"
#include "eml/QuotedPrintable.h"
#include "text/AnsiToUtf8.h"
#include "text/TextHelpers.h"

namespace {

// Neither quoted-printable nor base64 can ever hold "=_", so no line of a
// part can be taken for this boundary.
constexpr char kBoundary[] = "=_Quillora_part";

constexpr char kTextPartHeaders[] =
    "Content-Type: text/plain; charset=utf-8\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n"
    "\r\n";

// "Wed, 09 Dec 2026 05:15:03 +0000" (RFC 5322 date-time, in UTC).
void FormatDate(const SYSTEMTIME& date, char* out /* 32 bytes */) {
    static const char kDays[] = "SunMonTueWedThuFriSat";
    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const auto two = [](char* at, unsigned value) {
        at[0] = static_cast<char>('0' + value / 10 % 10);
        at[1] = static_cast<char>('0' + value % 10);
    };
    std::memcpy(out, kDays + 3 * (date.wDayOfWeek % 7), 3);
    std::memcpy(out + 3, ", ", 2);
    two(out + 5, date.wDay);
    out[7] = ' ';
    std::memcpy(out + 8, kMonths + 3 * ((date.wMonth + 11) % 12), 3);
    out[11] = ' ';
    two(out + 12, date.wYear / 100);
    two(out + 14, date.wYear);
    out[16] = ' ';
    two(out + 17, date.wHour);
    out[19] = ':';
    two(out + 20, date.wMinute);
    out[22] = ':';
    two(out + 23, date.wSecond);
    std::memcpy(out + 25, " +0000", 7);
}

// The name the attachment is known by on every road, as UTF-8.
bool AttachmentName(const char* path, UINT codePage, Text& utf8) {
    char displayName[kDisplayNameSize] = "";
    Text name;
    if (!AttachmentDisplayName(path, displayName)) return false;
    if (displayName[0] != '\0') {
        if (!name.assign(displayName)) return false;
    } else if (!AttachmentFileName(path, name)) {
        return false;
    }
    Text line;
    return JoinLines(name.c_str(), line) && AnsiToUtf8(line.c_str(), line.size(), utf8, codePage);
}

bool WriteAttachmentPart(DraftOutput& out, HANDLE file, const char* path, UINT codePage,
                         RoadFailure* failure) {
    Text name;
    if (!AttachmentName(path, codePage, name)) {
        NoteRefusal(failure, "the attachment's name cannot be converted to UTF-8");
        return false;
    }
    HeaderWriter header(out);
    bool ok = out.Put("\r\n--") && out.Put(kBoundary) && out.Put("\r\n") &&
              header.Start("Content-Type") && header.Token("application/octet-stream");
    // Readers without RFC 2231 find the name here, plainly.
    if (ok && !name.empty())
        ok = WriteFileNameParameter(header, "name", name.c_str(), name.size(), true);
    ok = ok && header.End() && header.Start("Content-Disposition") && header.Token("attachment");
    if (ok && !name.empty()) {
        ok = WriteFileNameParameter(header, "filename", name.c_str(), name.size(), false);
    }
    ok = ok && header.End() && out.Put("Content-Transfer-Encoding: base64\r\n\r\n");
    if (!ok) return false;
    unsigned long long bytes = 0;
    if (!WriteBase64File(out, file, bytes, failure)) return false;
    // The last base64 line's CR LF starts the closing delimiter; an empty
    // file has no line, so the delimiter brings its own.
    return (bytes != 0 || out.Put("\r\n")) && out.Put("--") && out.Put(kBoundary) &&
           out.Put("--\r\n");
}

bool WriteHeaders(DraftOutput& out, const ComposeRequest& request, const SYSTEMTIME& date,
                  UINT codePage, RoadFailure* failure) {
    char dateText[32];
    FormatDate(date, dateText);
    if (!out.Put("X-Unsent: 1\r\nMIME-Version: 1.0\r\nDate: ") || !out.Put(dateText) ||
        !out.Put("\r\n")) {
        return false;
    }
    HeaderWriter header(out);
    if (!WriteAddressList(header, "To", request.to, codePage) ||
        !WriteAddressList(header, "Cc", request.cc, codePage) ||
        !WriteAddressList(header, "Bcc", request.bcc, codePage)) {
        NoteRefusal(failure, "a recipient cannot be converted to UTF-8");
        return false;
    }
    if (request.subject == nullptr || request.subject[0] == '\0') return true;
    Text line, subject;
    if (!JoinLines(request.subject, line) ||
        !AnsiToUtf8(line.c_str(), line.size(), subject, codePage)) {
        NoteRefusal(failure, "the subject cannot be converted to UTF-8");
        return false;
    }
    return header.Start("Subject") && WriteUnstructured(header, subject.c_str(), subject.size()) &&
           header.End();
}

}  // namespace

bool WriteDraftMessage(DraftOutput& out, const ComposeRequest& request, HANDLE attachment,
                       const SYSTEMTIME& date, UINT codePage, RoadFailure* failure) {
    if (!out.Ready()) {
        NoteRefusal(failure, "out of memory");
        return false;
    }
    Text body;
    const char* text = request.body != nullptr ? request.body : "";
    if (!AnsiToUtf8(text, std::strlen(text), body, codePage)) {
        NoteRefusal(failure, "the body cannot be converted to UTF-8");
        return false;
    }
    if (!WriteHeaders(out, request, date, codePage, failure)) return false;

    bool ok;
    if (attachment == INVALID_HANDLE_VALUE) {
        ok = out.Put(kTextPartHeaders) &&
             WriteQuotedPrintable(out, body.c_str(), body.size(), true /* end with CR LF */);
    } else {
        ok = out.Put("Content-Type: multipart/mixed; boundary=\"") && out.Put(kBoundary) &&
             out.Put("\"\r\n\r\n--") && out.Put(kBoundary) && out.Put("\r\n") &&
             out.Put(kTextPartHeaders) &&
             WriteQuotedPrintable(out, body.c_str(), body.size(), false) &&
             WriteAttachmentPart(out, attachment, request.attachment, codePage, failure);
    }
    return ok && out.Flush();
}
