#include "eml/FileNameParameter.h"

#include <cstring>

#include "eml/MailSyntax.h"
#include "text/Text.h"

namespace {

// Characters of value per RFC 2231 section, so that the first section's
// line (" filename*0*=utf-8''" ... ";") stays within 78 characters.
constexpr size_t kSectionLength = 57;

// RFC 2231 attribute-char: what stands unencoded in an extended value.
bool IsAttributeCharacter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           (c != 0 && std::strchr("!#$&+-.^_`|~", c) != nullptr);
}

// The encoded length of the character that text starts with.
size_t EncodedLength(const char* text, size_t length) {
    const unsigned char c = static_cast<unsigned char>(text[0]);
    if (IsAttributeCharacter(c)) return 1;
    size_t bytes = 1;
    while (bytes < length && bytes < 4 &&
           (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) {
        ++bytes;
    }
    return 3 * bytes;
}

bool WriteQuoted(HeaderWriter& header, const char* parameter, const char* utf8, size_t length) {
    Text token;
    if (!token.assign(parameter) || !token.append("=\"", 2)) return false;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if ((c & 0xC0) == 0x80) continue;  // the rest of a character already replaced
        const char kept = IsPrintableAscii(c) ? static_cast<char>(c) : '_';
        if ((kept == '"' || kept == '\\') && !token.append("\\", 1)) return false;
        if (!token.append(&kept, 1)) return false;
    }
    return token.append("\"", 1) && header.Token(token.c_str(), token.size());
}

// One section: "parameter*N*=" (the first with "utf-8''"), its value, and a
// ";" when another follows.
bool WriteSection(HeaderWriter& header, const char* parameter, unsigned section, const char* value,
                  size_t length, bool last) {
    char number[12];
    size_t digits = 0;
    for (unsigned rest = section; digits == 0 || rest != 0; rest /= 10) {
        number[digits++] = static_cast<char>('0' + rest % 10);
    }
    Text token;
    if (!token.assign(parameter) || !token.append("*", 1)) return false;
    while (digits > 0) {
        if (!token.append(&number[--digits], 1)) return false;
    }
    const char* start = section == 0 ? "*=utf-8''" : "*=";
    if (!token.append(start, std::strlen(start)) || !token.append(value, length) ||
        (!last && !token.append(";", 1))) {
        return false;
    }
    return header.Token(token.c_str(), token.size());
}

bool WriteExtended(HeaderWriter& header, const char* parameter, const char* utf8, size_t length) {
    static const char kHex[] = "0123456789ABCDEF";
    char section[kSectionLength];
    size_t used = 0;
    unsigned number = 0;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        // A section ends before a character, never inside it (and, should
        // the text not be UTF-8, before a byte that would not fit).
        const bool starts = (c & 0xC0) != 0x80;
        if ((starts && used + EncodedLength(utf8 + i, length - i) > kSectionLength) ||
            used + 3 > kSectionLength) {
            if (!WriteSection(header, parameter, number++, section, used, false)) return false;
            used = 0;
        }
        if (IsAttributeCharacter(c)) {
            section[used++] = static_cast<char>(c);
        } else {
            section[used++] = '%';
            section[used++] = kHex[c >> 4];
            section[used++] = kHex[c & 0x0F];
        }
    }
    return WriteSection(header, parameter, number, section, used, true);
}

}  // namespace

bool NeedsExtendedParameter(const char* utf8, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (!IsPrintableAscii(static_cast<unsigned char>(utf8[i]))) return true;
    }
    return false;
}

bool WriteFileNameParameter(HeaderWriter& header, const char* parameter, const char* utf8,
                            size_t length, bool plain) {
    if (!header.Token(";", false)) return false;
    if (plain || !NeedsExtendedParameter(utf8, length)) {
        return WriteQuoted(header, parameter, utf8, length);
    }
    return WriteExtended(header, parameter, utf8, length);
}
