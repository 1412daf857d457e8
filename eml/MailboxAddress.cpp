#include "eml/MailboxAddress.h"

#include <cstring>

namespace {

// The longest address a mail system delivers to (RFC 5321).
constexpr size_t kAddressLimit = 254;

// atext, and any byte of a UTF-8 character beyond ASCII.
bool IsAtomCharacter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c >= 0x80 || (c != 0 && std::strchr("!#$%&'*+-/=?^_`{|}~", c) != nullptr);
}

// Atoms joined by single dots.
bool IsDotAtom(const char* text, size_t length) {
    if (length == 0 || text[0] == '.' || text[length - 1] == '.') return false;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '.' ? text[i - 1] == '.' : !IsAtomCharacter(c)) return false;
    }
    return true;
}

bool IsDomainLiteral(const char* text, size_t length) {
    if (length < 2 || text[0] != '[' || text[length - 1] != ']') return false;
    for (size_t i = 1; i + 1 < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 33 || c == 127 || c == '[' || c == ']' || c == '\\') return false;
    }
    return true;
}

}  // namespace

bool FormMailboxAddress(const Text& address, Text& mailbox) {
    const char* text = address.c_str();
    const char* at = std::strrchr(text, '@');
    if (at == nullptr || at == text || at[1] == '\0' || address.size() > kAddressLimit) {
        return false;
    }
    const size_t localLength = static_cast<size_t>(at - text);
    const size_t domainLength = address.size() - localLength - 1;
    if (!IsDotAtom(at + 1, domainLength) && !IsDomainLiteral(at + 1, domainLength)) return false;
    if (IsDotAtom(text, localLength)) return mailbox.assign(text);

    // A local part with blanks, specials or stray dots ("a,b", "Jo Doe")
    // stays one address between quotes.
    char quoted[2 * kAddressLimit + 3];
    size_t used = 0;
    quoted[used++] = '"';
    for (size_t i = 0; i < localLength; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 32 || c == 127) return false;
        if (c == '"' || c == '\\') quoted[used++] = '\\';
        quoted[used++] = static_cast<char>(c);
    }
    quoted[used++] = '"';
    if (used + 1 + domainLength > kAddressLimit) return false;
    return mailbox.assign(quoted, used) && mailbox.append(at, domainLength + 1);
}
