// Reading back what the draft writers produce, with decoders of the tests'
// own (never the program's): base64, quoted-printable, RFC 2047 words.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "eml/DraftOutput.h"

namespace mime {

// A DraftOutput whose bytes land in a string.
struct Capture {
    std::string bytes;
    DraftOutput out{[](const char* b, size_t n, void* c) {
                        static_cast<Capture*>(c)->bytes.append(b, n);
                        return true;
                    },
                    this};
    std::string Text() {
        out.Flush();
        return bytes;
    }
};

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// True when every CR is followed by LF and every LF follows a CR.
inline bool OnlyCrLf(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
    }
    return true;
}

// The text with each fold (CR LF before a blank) removed.
inline std::string Unfolded(std::string text) {
    for (size_t at; (at = text.find("\r\n ")) != std::string::npos;) text.erase(at, 2);
    return text;
}

inline std::string Base64Decoded(const std::string& text) {
    static const std::string kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0, count = 0;
    for (char c : text) {
        const size_t value = kAlphabet.find(c);
        if (value == std::string::npos) continue;  // line breaks and padding
        bits = bits << 6 | static_cast<unsigned>(value);
        if ((count += 6) >= 8) out += static_cast<char>(bits >> (count -= 8) & 0xFF);
    }
    return out;
}

// Hard line breaks come back as CR LF; "=" CR LF is a soft break.
inline std::string QuotedPrintableDecoded(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            out += text[i];
        } else if (text.compare(i + 1, 2, "\r\n") == 0) {
            i += 2;
        } else {
            out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        }
    }
    return out;
}

// A header's value as a reader sees it: unfolded, "=?utf-8?B?...?=" words
// decoded and the blanks between two of them dropped.
inline std::string HeaderDecoded(const std::string& field) {
    std::string value;
    for (size_t i = field.find(':') + 1; i < field.size(); ++i) {
        if (field.compare(i, 2, "\r\n") == 0)
            ++i;
        else
            value += field[i];
    }
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
    std::string out;
    bool afterWord = false;
    size_t wordEnd = 0;
    for (size_t i = 0; i < value.size();) {
        const size_t end =
            value.compare(i, 10, "=?utf-8?B?") == 0 ? value.find("?=", i + 10) : std::string::npos;
        if (end != std::string::npos) {
            if (afterWord) out.resize(wordEnd);
            out += Base64Decoded(value.substr(i + 10, end - i - 10));
            wordEnd = out.size();
            i = end + 2;
            afterWord = true;
        } else {
            afterWord = afterWord && value[i] == ' ';
            out += value[i++];
        }
    }
    return out;
}

}  // namespace mime
