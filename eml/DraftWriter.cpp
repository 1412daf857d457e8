#include "eml/DraftWriter.h"

#include <cstring>

#include "eml/HeaderFields.h"
#include "eml/MimeEncoding.h"
#include "text/HeapBlock.h"
#include "text/PercentEncoding.h"
#include "text/TextHelpers.h"

namespace {

// Neither quoted-printable nor base64 ever writes "=_", so no part can hold
// a line that looks like the boundary.
constexpr char kBoundary[] = "=_Quillora_part";
// Written text is handed to WriteFile once this much has gathered.
constexpr size_t kFlushSize = 1024 * 1024;
// The attachment is read this many bytes at a time: whole base64 lines.
constexpr DWORD kAttachmentChunk = kBase64LineBytes * 16384;
// The text is encoded about this much at a time, so memory stays flat.
constexpr size_t kTextSlice = 64 * 1024;
// Longest RFC 2231 piece of a file name on one line.
constexpr size_t kParameterPiece = 60;
// Longest plain stand-in for a name outside ASCII, in characters.
constexpr size_t kLongestStandIn = 900;

// Gathers the draft's text and writes it to the file in large pieces.
class Sink {
public:
    Sink(HANDLE file, RoadFailure* failure) : file_(file), failure_(failure) {}
    Text& text() { return text_; }
    bool Put(const char* text) { return Put(text, std::strlen(text)); }
    bool Put(const char* text, size_t size) {
        if (!text_.append(text, size)) return OutOfMemory();
        return Settle();
    }
    // Writes what has gathered once there is enough of it.
    bool Settle() { return text_.size() < kFlushSize || Flush(); }
    bool Write(const char* bytes, size_t size) {
        DWORD written = 0;
        if (!WriteFile(file_, bytes, static_cast<DWORD>(size), &written, nullptr) ||
            written != size) {
            const DWORD error = GetLastError();
            NoteCall(failure_, "WriteFile", RoadFailure::Code::Win32,
                     error != ERROR_SUCCESS ? error : ERROR_DISK_FULL);
            return false;
        }
        return true;
    }
    bool Flush() {
        if (text_.empty()) return true;
        const bool written = Write(text_.c_str(), text_.size());
        text_.assign("", 0);  // keeps the block for what comes next
        return written;
    }
    bool OutOfMemory() {
        NoteOutOfMemory(failure_);
        return false;
    }

private:
    HANDLE file_;
    RoadFailure* failure_;
    Text text_;
};

// The body (UTF-8) as quoted-printable, a slice at a time, so that memory
// stays flat. Ends the last line, with a soft break when the body itself
// does not end one (so it gains no line break), or, before a boundary, with
// the line break the boundary takes as its own.
bool PutText(Sink& sink, const char* body, bool beforeBoundary) {
    const size_t size = body != nullptr ? std::strlen(body) : 0;
    QuotedPrintable encoder(sink.text());
    for (size_t at = 0; at < size; at += kTextSlice) {
        const size_t slice = size - at < kTextSlice ? size - at : kTextSlice;
        if (!encoder.Append(body + at, slice)) return sink.OutOfMemory();
        if (!sink.Settle()) return false;
    }
    const bool endsLine = encoder.EndsLine();
    if (!encoder.Finish()) return sink.OutOfMemory();
    if (beforeBoundary) return sink.Put("\r\n");
    return endsLine || sink.Put("=\r\n");
}

bool IsPlainParameter(const Text& utf8) {
    if (utf8.empty() || utf8.size() > kParameterPiece * 3) return false;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8.c_str()[i]);
        if (c < 32 || c > 126 || c == '"' || c == '\\') return false;
    }
    return true;
}

// Whether at is the escape of a UTF-8 continuation byte ("%80" to "%BF"),
// which must stay with the escapes before it.
bool IsContinuationEscape(const char* at) {
    return at[0] == '%' && (at[1] == '8' || at[1] == '9' || at[1] == 'A' || at[1] == 'B');
}

// '; parameter="value"' for a plain name. For any other, with rfc2231, the
// name itself per RFC 2231, in pieces ('; filename*0*=utf-8''...;
// filename*1*=...') so that no line grows too long; without, a plain
// stand-in with '_' for each character outside printable ASCII, for readers
// that know no RFC 2231 (both in one field would be a duplicate parameter).
bool PutFileNameParameter(Sink& sink, const char* parameter, const Text& utf8, bool rfc2231) {
    Text line;
    const auto add = [&line](const char* text) { return line.append(text, std::strlen(text)); };
    bool ok = add(";\r\n\t") && add(parameter);
    if (IsPlainParameter(utf8) || !rfc2231) {
        ok = ok && add("=\"");
        // A stand-in of at most kLongestStandIn characters keeps the line short.
        for (size_t i = 0, characters = 0; ok && i < utf8.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(utf8.c_str()[i]);
            if ((c & 0xC0) == 0x80) continue;  // one '_' a character
            if (++characters > kLongestStandIn) break;
            ok = c >= 32 && c <= 126 && c != '"' && c != '\\' ? line.append(&utf8.c_str()[i], 1)
                                                              : add("_");
        }
        ok = ok && add("\"");
        return ok ? sink.Put(line.c_str(), line.size()) : sink.OutOfMemory();
    }
    line.clear();
    Text encoded;
    ok = AppendPercentEncoded(utf8.c_str(), utf8.size(), encoded, IsAttributeChar);
    for (size_t at = 0, piece = 0; ok && at < encoded.size(); ++piece) {
        size_t end = at + kParameterPiece < encoded.size() ? at + kParameterPiece : encoded.size();
        // Never split a %XX escape, nor the escapes of one character.
        const char* text = encoded.c_str();
        if (end < encoded.size() && text[end - 1] == '%') end -= 1;
        if (end < encoded.size() && end >= 2 && text[end - 2] == '%') end -= 2;
        while (end < encoded.size() && end > at + 3 && IsContinuationEscape(text + end)) end -= 3;
        ok = add(";\r\n\t") && add(parameter) && add("*") && AppendDecimal(line, piece) &&
             add("*=") && (piece != 0 || add("utf-8''")) &&
             line.append(encoded.c_str() + at, end - at);
        at = end;
    }
    return ok ? sink.Put(line.c_str(), line.size()) : sink.OutOfMemory();
}

// The attachment as base64 lines, read a chunk at a time.
bool PutAttachment(Sink& sink, HANDLE file, RoadFailure* failure) {
    if (!sink.Flush()) return false;
    HeapBlock inBlock(kAttachmentChunk);
    HeapBlock outBlock(Base64LinesSize(kAttachmentChunk));
    auto* in = static_cast<unsigned char*>(inBlock.get());
    auto* out = static_cast<char*>(outBlock.get());
    if (in == nullptr || out == nullptr) return sink.OutOfMemory();
    size_t held = 0;  // bytes read but not yet encoded: less than a line's worth
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, in + held, static_cast<DWORD>(kAttachmentChunk - held), &got,
                      nullptr)) {
            NoteCall(failure, "ReadFile", RoadFailure::Code::Win32, GetLastError());
            return false;
        }
        held += got;
        // Whole lines now; a short remainder waits for more, or for the end.
        const size_t whole = got == 0 ? held : held - held % kBase64LineBytes;
        if (whole != 0 && !sink.Write(out, WriteBase64Lines(in, whole, out))) return false;
        std::memmove(in, in + whole, held - whole);
        held -= whole;
        if (got == 0) return true;
    }
}

}  // namespace

bool WriteDraft(HANDLE draft, const ComposeRequest& request, const SYSTEMTIME& utc,
                const DraftAttachment& attachment, RoadFailure* failure) {
    Sink sink(draft, failure);
    if (!AppendHeaderFields(request, utc, sink.text())) return sink.OutOfMemory();
    const char* const textPart =
        "Content-Type: text/plain; charset=utf-8\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n";
    if (attachment.file == INVALID_HANDLE_VALUE) {
        return sink.Put(textPart) && sink.Put("\r\n") && PutText(sink, request.body, false) &&
               sink.Flush();
    }

    Text name;
    if (!name.assign(attachment.name)) return sink.OutOfMemory();
    const auto boundary = [&sink](bool last) {
        return sink.Put("--") && sink.Put(kBoundary) && sink.Put(last ? "--\r\n" : "\r\n");
    };
    return sink.Put("Content-Type: multipart/mixed;\r\n\tboundary=\"") && sink.Put(kBoundary) &&
           sink.Put("\"\r\n\r\nThis is a message with an attachment, in MIME format.\r\n") &&
           boundary(false) && sink.Put(textPart) && sink.Put("\r\n") &&
           PutText(sink, request.body, true) && boundary(false) &&
           sink.Put("Content-Type: application/octet-stream") &&
           PutFileNameParameter(sink, "name", name, false) &&
           sink.Put("\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment") &&
           PutFileNameParameter(sink, "filename", name, true) && sink.Put("\r\n\r\n") &&
           PutAttachment(sink, attachment.file, failure) && boundary(true) && sink.Flush();
}
