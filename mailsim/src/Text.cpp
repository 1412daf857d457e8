#include "Text.h"

namespace mailsim {

std::string Utf8FromBytes(const std::string& bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (unsigned char byte : bytes) {
        if (byte < 0x80) {
            utf8 += static_cast<char>(byte);
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::string BytesFromUtf8(const std::string& utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + 1]);
            if ((next & 0xC0) == 0x80) {
                bytes += static_cast<char>(((lead & 0x03) << 6) | (next & 0x3F));
                ++i;
                continue;
            }
        }
        bytes += static_cast<char>(lead);
    }
    return bytes;
}

std::string HexFromBytes(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0F];
    }
    return hex;
}

bool BytesFromHex(const std::string& text, std::string& bytes) {
    if (text.size() % 2 != 0) return false;
    auto value = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string result;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = value(text[i]);
        const int low = value(text[i + 1]);
        if (high < 0 || low < 0) return false;
        result += static_cast<char>(high * 16 + low);
    }
    bytes = result;
    return true;
}

}  // namespace mailsim
