#include "eml/HeaderFields.h"

#include <cstring>

#include "eml/MailboxAddress.h"
#include "eml/MimeEncoding.h"
#include "text/RecipientEntry.h"
#include "text/TextHelpers.h"

namespace {

// Lines are folded before a word that would take them past this column,
// which leaves room within 78 for a " ," after the word.
constexpr size_t kFoldColumn = 76;
// A word longer than this goes into encoded words, which can be split.
constexpr size_t kLongestPlainWord = 900;
// The most characters of an encoded word.
constexpr size_t kLongestEncodedWord = 75;

// One header field being written: its name before the first word, words
// separated by one space, folded (CR LF before the space) when a word would
// pass kFoldColumn. A field given no word writes nothing.
class Field {
public:
    Field(Text& out, const char* name) : out_(out), name_(name) {}
    // encoded: an RFC 2047 word, which a special may not touch.
    Field& Word(const char* word, size_t length, bool encoded = false) {
        if (!ok_) return *this;
        if (!started_) {
            ok_ = out_.append(name_, std::strlen(name_)) && out_.append(":", 1);
            column_ = std::strlen(name_) + 1;
        }
        // Right after the name only when that makes the word fit.
        if (column_ + 1 + length > kFoldColumn && (started_ || 1 + length <= kFoldColumn)) {
            ok_ = ok_ && out_.append("\r\n", 2);
            column_ = 0;
        }
        ok_ = ok_ && out_.append(" ", 1) && out_.append(word, length);
        column_ += 1 + length;
        started_ = true;
        afterEncoded_ = encoded;
        return *this;
    }
    // The "," between addresses; after an encoded word, a space first, as
    // RFC 2047 keeps specials off encoded words.
    Field& Comma() {
        ok_ = ok_ && (!afterEncoded_ || out_.append(" ", 1)) && out_.append(",", 1);
        column_ += afterEncoded_ ? 2 : 1;
        return *this;
    }
    // The longest word that fits on the field's first line, right after its
    // name, before any word is written; after that, the longest encoded word.
    size_t FirstRoom() const {
        return started_ ? kLongestEncodedWord : kFoldColumn - std::strlen(name_) - 2;
    }
    bool End() { return ok_ && (!started_ || out_.append("\r\n", 2)); }
    bool ok() const { return ok_; }
    void Fail() { ok_ = false; }

private:
    Text& out_;
    const char* name_;
    size_t column_ = 0;
    bool started_ = false;
    bool afterEncoded_ = false;
    bool ok_ = true;
};

bool IsPrintableAscii(unsigned char c) {
    return c > 32 && c < 127;
}

// Text that may stand as it is: printable ASCII words, single spaces between
// them, none too long to fold, and nothing a reader would take for an
// encoded word.
bool IsPlainText(const Text& utf8) {
    const char* text = utf8.c_str();
    const size_t size = utf8.size();
    if (size == 0 || text[0] == ' ' || text[size - 1] == ' ') return false;
    if (std::strstr(text, "=?") != nullptr) return false;
    size_t word = 0;
    for (size_t i = 0; i < size; ++i) {
        if (text[i] == ' ') {
            if (text[i - 1] == ' ') return false;
            word = 0;
        } else if (!IsPrintableAscii(static_cast<unsigned char>(text[i])) ||
                   ++word > kLongestPlainWord) {
            return false;
        }
    }
    return true;
}

// Encoded words, the first cut to fit right after the field's name.
void EncodedWords(Field& field, const Text& utf8) {
    const auto word = [&field](const char* begin, size_t length) {
        return field.Word(begin, length, true).ok();
    };
    if (!ForEachEncodedWord(utf8.c_str(), utf8.size(), word, field.FirstRoom())) field.Fail();
}

// Text split at its single spaces, a word at a time.
void Words(Field& field, const Text& text) {
    const char* begin = text.c_str();
    for (size_t start = 0; start < text.size();) {
        const char* space = std::strchr(begin + start, ' ');
        const size_t end = space != nullptr ? static_cast<size_t>(space - begin) : text.size();
        field.Word(begin + start, end - start);
        start = end + 1;
    }
}

// RFC 5322's specials, which a phrase holds only inside quotes.
bool HasSpecials(const Text& text) {
    return std::strpbrk(text.c_str(), "()<>[]:;@\\,.\"") != nullptr;
}

// A display name, or a name for the address book: as it is, quoted, or in
// encoded words.
void Phrase(Field& field, const Text& utf8) {
    if (!IsPlainText(utf8) || utf8.size() > kLongestPlainWord) return EncodedWords(field, utf8);
    if (!HasSpecials(utf8)) return Words(field, utf8);
    Text quoted;
    bool ok = quoted.assign("\"");
    for (size_t i = 0; ok && i < utf8.size(); ++i) {
        const char c = utf8.c_str()[i];
        const bool plain = c != '"' && c != '\\';
        ok = (plain || quoted.append("\\", 1)) && quoted.append(&c, 1);
    }
    if (!ok || !quoted.append("\"", 1)) return field.Fail();
    // Escapes can double a name: past the plain word's limit it is encoded.
    if (quoted.size() > kLongestPlainWord) return EncodedWords(field, utf8);
    // A fold at a space inside the quotes keeps that space.
    Words(field, quoted);
}

// The address without control characters or spaces around it.
bool CleanAddress(const Text& address, Text& clean) {
    clean.clear();
    for (size_t i = 0; i < address.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(address.c_str()[i]);
        if (c < 32 || c == 127) continue;
        if (!clean.append(&address.c_str()[i], 1)) return false;
    }
    return true;
}

// What one recipient entry yields, as UTF-8: a mailbox when it holds an
// address that a reader takes for one, whole; otherwise a name for the mail
// app to resolve, as typed (without its blanks, and without quotes around
// it, which Phrase puts back where they belong). An empty name yields no one.
struct Entry {
    Text name;
    Text mailbox;  // empty: a name only
    bool Yields() const { return !mailbox.empty() || !name.empty(); }
};

bool ReadEntry(const char* entry, Entry& read) {
    Text name, address, clean;
    read.mailbox.clear();
    if (SplitRecipientEntry(entry, name, address, CP_UTF8)) {
        if (!CleanAddress(address, clean)) return false;
        // An address no mailbox can hold ("a b@x y") would be read as
        // other recipients, or none: the entry stays a name.
        if (FormMailboxAddress(clean, read.mailbox)) {
            read.name = static_cast<Text&&>(name);
            return true;
        }
        read.mailbox.clear();
    }
    size_t begin = 0, end = std::strlen(entry);
    while (begin < end && (entry[begin] == ' ' || entry[begin] == '\t')) ++begin;
    while (end > begin && (entry[end - 1] == ' ' || entry[end - 1] == '\t')) --end;
    if (end - begin >= 2 && entry[begin] == '"' && entry[end - 1] == '"') {
        ++begin;
        --end;
    }
    return read.name.assign(entry + begin, end - begin);
}

void Recipient(Field& field, const Entry& entry) {
    if (entry.mailbox.empty()) return Phrase(field, entry.name);
    if (entry.name.empty()) {
        field.Word(entry.mailbox.c_str(), entry.mailbox.size());
        return;
    }
    Phrase(field, entry.name);
    Text angled;
    if (!angled.assign("<") || !angled.append(entry.mailbox.c_str(), entry.mailbox.size()) ||
        !angled.append(">", 1)) {
        return field.Fail();
    }
    field.Word(angled.c_str(), angled.size());
}

bool Recipients(Text& out, const char* name, const char* list) {
    Field field(out, name);
    bool first = true;
    SplitRecipientList(
        list, RecipientKind::To,
        [&](const char* entry, RecipientKind) {
            Entry read;
            if (!ReadEntry(entry, read)) return field.Fail();
            if (!read.Yields()) return;
            if (!first) field.Comma();
            first = false;
            Recipient(field, read);
        },
        CP_UTF8);
    return field.End();
}

bool Date(Text& out, const SYSTEMTIME& utc) {
    static const char kDays[] = "SunMonTueWedThuFriSat";
    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const unsigned month = utc.wMonth >= 1 && utc.wMonth <= 12 ? utc.wMonth - 1 : 0;
    const unsigned day = utc.wDayOfWeek <= 6 ? utc.wDayOfWeek : 0;
    char date[] = "Date: Www, DD Mmm YYYY HH:MM:SS +0000\r\n";
    const auto two = [](char* at, unsigned value) {
        at[0] = static_cast<char>('0' + value / 10 % 10);
        at[1] = static_cast<char>('0' + value % 10);
    };
    std::memcpy(date + 6, kDays + 3 * day, 3);
    two(date + 11, utc.wDay);
    std::memcpy(date + 14, kMonths + 3 * month, 3);
    two(date + 18, utc.wYear / 100);
    two(date + 20, utc.wYear);
    two(date + 23, utc.wHour);
    two(date + 26, utc.wMinute);
    two(date + 29, utc.wSecond);
    return out.append(date, sizeof date - 1);
}

}  // namespace

bool AppendHeaderFields(const ComposeRequest& request, const SYSTEMTIME& utc, Text& out) {
    static const char kUnsent[] = "X-Unsent: 1\r\nMIME-Version: 1.0\r\n";
    if (!Date(out, utc) || !out.append(kUnsent, sizeof kUnsent - 1) ||
        !Recipients(out, "To", request.to) || !Recipients(out, "Cc", request.cc) ||
        !Recipients(out, "Bcc", request.bcc)) {
        return false;
    }
    if (request.subject == nullptr || request.subject[0] == '\0') return true;
    Text utf8;
    if (!utf8.assign(request.subject)) return false;
    Field field(out, "Subject");
    // Plain only when its first word fits after the name: Python's parser
    // reads a fold there as a blank that starts the subject.
    const char* space = std::strchr(utf8.c_str(), ' ');
    const size_t first = space != nullptr ? static_cast<size_t>(space - utf8.c_str()) : utf8.size();
    if (IsPlainText(utf8) && first <= field.FirstRoom()) {
        Words(field, utf8);
    } else {
        EncodedWords(field, utf8);
    }
    return field.End();
}
