#include "eml/AddressList.h"

#include <cstring>

#include "eml/HeaderText.h"
#include "eml/MailSyntax.h"
#include "text/AnsiToUtf8.h"
#include "text/RecipientEntry.h"
#include "text/TextHelpers.h"

namespace {

// The longest address a mail system delivers to (RFC 5321).
constexpr size_t kAddressLimit = 254;

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
        if (c < 33 || c > 126 || c == '[' || c == ']' || c == '\\') return false;
    }
    return true;
}

void Trim(const char*& text, size_t& length) {
    while (length > 0 && (*text == ' ' || *text == '\t')) ++text, --length;
    while (length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\t')) --length;
}

struct ListWriter {
    HeaderWriter& header;
    const char* name;
    UINT codePage;
    bool started = false;
    bool ok = true;

    // Begins the field, or separates this entry from the one before.
    bool Next() {
        if (!started) {
            started = true;
            return header.Start(name);
        }
        return header.Token(",", false);
    }

    bool Phrase(const char* ansi, size_t length) {
        Text utf8;
        return AnsiToUtf8(ansi, length, utf8, codePage) &&
               WritePhrase(header, utf8.c_str(), utf8.size());
    }

    // After a display name the address stands in angle brackets.
    bool Address(const Text& addrSpec, bool angle) {
        if (!angle) return header.Token(addrSpec.c_str(), addrSpec.size());
        Text token;
        return token.assign("<") && token.append(addrSpec.c_str(), addrSpec.size()) &&
               token.append(">", 1) && header.Token(token.c_str(), token.size());
    }

    void Entry(const char* entry) {
        Text line, displayName, address, addrSpec;
        if (!ok || !JoinLines(entry, line)) {
            ok = false;
            return;
        }
        if (SplitRecipientEntry(line.c_str(), displayName, address) &&
            FormAddrSpec(address.c_str(), address.size(), addrSpec)) {
            ok = Next() && Phrase(displayName.c_str(), displayName.size()) &&
                 Address(addrSpec, !displayName.empty());
            return;
        }
        // No address (or none that can be written as one): the entry's text.
        const char* text = line.c_str();
        size_t length = line.size();
        Trim(text, length);
        if (length != 0) ok = Next() && Phrase(text, length);
    }
};

}  // namespace

bool FormAddrSpec(const char* address, size_t length, Text& addrSpec) {
    const char* at = nullptr;
    for (size_t i = 0; i < length; ++i) {
        if (address[i] == '@') at = address + i;
    }
    if (at == nullptr || at == address || at + 1 == address + length) return false;
    const size_t localLength = static_cast<size_t>(at - address);
    const char* domain = at + 1;
    const size_t domainLength = length - localLength - 1;
    if (!IsDotAtom(domain, domainLength) && !IsDomainLiteral(domain, domainLength)) return false;

    char buffer[kAddressLimit + 1];
    size_t used = 0;
    if (IsDotAtom(address, localLength)) {
        if (localLength > kAddressLimit) return false;
        std::memcpy(buffer, address, localLength);
        used = localLength;
    } else {
        buffer[used++] = '"';
        for (size_t i = 0; i < localLength; ++i) {
            const unsigned char c = static_cast<unsigned char>(address[i]);
            if (c < 0x20 || c > 0x7E) return false;
            const bool escaped = c == '"' || c == '\\';
            if (used + (escaped ? 2 : 1) > kAddressLimit) return false;
            if (escaped) buffer[used++] = '\\';
            buffer[used++] = static_cast<char>(c);
        }
        buffer[used++] = '"';
    }
    if (used + 1 + domainLength > kAddressLimit) return false;
    buffer[used++] = '@';
    std::memcpy(buffer + used, domain, domainLength);
    used += domainLength;
    return addrSpec.assign(buffer, used);
}

bool WriteAddressList(HeaderWriter& header, const char* name, const char* list, UINT codePage) {
    ListWriter writer{header, name, codePage};
    SplitRecipientList(list, RecipientKind::To,
                       [&writer](const char* entry, RecipientKind) { writer.Entry(entry); });
    return writer.ok && (!writer.started || header.End());
}
