#include "eml/DraftWriter.h"

#include <cstring>

#include "eml/FileNameParameter.h"
#include "eml/HeaderFields.h"
#include "eml/MimeEncoding.h"
#include "text/HeapBlock.h"

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

// The name as a parameter of the part's header.
bool PutFileNameParameter(Sink& sink, const char* parameter, const Text& name, bool rfc2231) {
    if (!AppendFileNameParameter(parameter, name, rfc2231, sink.text())) return sink.OutOfMemory();
    return sink.Settle();
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
                const DraftAttachment* attachments, size_t count, RoadFailure* failure) {
    Sink sink(draft, failure);
    if (!AppendHeaderFields(request, utc, sink.text())) return sink.OutOfMemory();
    const char* const textPart =
        "Content-Type: text/plain; charset=utf-8\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n";
    if (count == 0) {
        return sink.Put(textPart) && sink.Put("\r\n") && PutText(sink, request.body, false) &&
               sink.Flush();
    }

    const auto boundary = [&sink](bool last) {
        return sink.Put("--") && sink.Put(kBoundary) && sink.Put(last ? "--\r\n" : "\r\n");
    };
    if (!sink.Put("Content-Type: multipart/mixed;\r\n\tboundary=\"") || !sink.Put(kBoundary) ||
        !sink.Put(count == 1
                      ? "\"\r\n\r\nThis is a message with an attachment, in MIME format.\r\n"
                      : "\"\r\n\r\nThis is a message with attachments, in MIME format.\r\n") ||
        !boundary(false) || !sink.Put(textPart) || !sink.Put("\r\n") ||
        !PutText(sink, request.body, true)) {
        return false;
    }
    // One part a file, each read and encoded a chunk at a time.
    for (size_t i = 0; i < count; ++i) {
        Text name;
        if (!name.assign(attachments[i].name)) return sink.OutOfMemory();
        if (!boundary(false) || !sink.Put("Content-Type: application/octet-stream") ||
            !PutFileNameParameter(sink, "name", name, false) ||
            !sink.Put("\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment") ||
            !PutFileNameParameter(sink, "filename", name, true) || !sink.Put("\r\n\r\n") ||
            !PutAttachment(sink, attachments[i].file, failure)) {
            return false;
        }
    }
    return boundary(true) && sink.Flush();
}
