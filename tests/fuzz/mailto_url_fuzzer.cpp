// The mailto: URL against a model: decoding the URL must give back each
// field of the request (recipients split on ";" without empty tokens, text
// from code page 1252 as UTF-8, the body's line breaks as CR LF), in the
// order To, cc, bcc, subject, body, with empty fields left out; and the URL
// holds nothing but unreserved characters, upper-case escapes and its own
// separators. The fuzzer's bytes, cut at zero bytes, are to, cc, bcc,
// subject and body; a missing piece is an option not given.
#include <iconv.h>

#include <cctype>
#include <string>
#include <vector>

#include "text/MailtoUrl.h"
#include "tests/fuzz/FuzzModel.h"

namespace {

using Strings = std::vector<std::string>;

// glibc's Windows-1252 leaves five bytes unassigned; Windows maps them to
// the C1 controls of the same value.
std::string Utf8From1252(const std::string& text) {
    static iconv_t converter = iconv_open("UTF-8", "WINDOWS-1252");
    std::string out;
    for (unsigned char c : text) {
        char in[1] = {static_cast<char>(c)};
        char buffer[4];
        char* from = in;
        char* to = buffer;
        size_t inLeft = 1, outLeft = sizeof buffer;
        if (iconv(converter, &from, &inLeft, &to, &outLeft) == static_cast<size_t>(-1)) {
            out += static_cast<char>(0xC2);
            out += static_cast<char>(c);
        } else {
            out.append(buffer, to);
        }
    }
    return out;
}

std::string CrLf(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

Strings Recipients(const std::string& list) {
    Strings names;
    std::string name;
    for (char c : list + ";") {
        if (c != ';') {
            name += c;
        } else if (!name.empty()) {
            names.push_back(Utf8From1252(name));
            name.clear();
        }
    }
    return names;
}

std::string Decoded(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '@') {
            out += text[i];
            continue;
        }
        const auto hex = [&](size_t at) {
            return at < text.size() && std::isxdigit(static_cast<unsigned char>(text[at])) &&
                   !std::islower(static_cast<unsigned char>(text[at]));
        };
        fuzz::Expect(c == '%' && hex(i + 1) && hex(i + 2),
                     "a byte left unencoded:", fuzz::Shown(text.substr(i, 3)).c_str());
        out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
        i += 2;
    }
    return out;
}

Strings DecodedList(const std::string& text) {
    Strings names;
    size_t start = 0;
    for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1) {
        names.push_back(Decoded(text.substr(start, comma - start)));
    }
    if (!text.empty()) names.push_back(Decoded(text.substr(start)));
    return names;
}

std::string Joined(const Strings& names) {
    std::string all;
    for (const std::string& name : names) all += fuzz::Shown(name) + " ";
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Strings pieces = fuzz::PiecesBetweenZeros(data, size);
    const auto field = [&](size_t i) { return i < pieces.size() ? pieces[i].c_str() : nullptr; };
    ComposeRequest request;
    request.to = field(0);
    request.cc = field(1);
    request.bcc = field(2);
    request.subject = field(3);
    request.body = field(4);
    Text built;
    fuzz::Expect(BuildMailtoUrl(request, built, 1252), "no URL was built");
    const std::string url(built.c_str(), built.size());
    fuzz::Expect(url.compare(0, 7, "mailto:") == 0, "no mailto: scheme");

    // The model's query: the fields that must be there, in their order.
    std::vector<std::pair<std::string, std::string>> expected;
    const auto list = [&](const char* name, const char* value) {
        if (value != nullptr && !Recipients(value).empty()) {
            expected.emplace_back(name, Joined(Recipients(value)));
        }
    };
    list("cc", request.cc);
    list("bcc", request.bcc);
    if (request.subject != nullptr && *request.subject != '\0') {
        expected.emplace_back("subject", Utf8From1252(request.subject));
    }
    if (request.body != nullptr && *request.body != '\0') {
        expected.emplace_back("body", CrLf(Utf8From1252(request.body)));
    }

    const size_t question = url.find('?');
    const std::string path = url.substr(7, question == std::string::npos ? question : question - 7);
    fuzz::ExpectSame(Joined(request.to != nullptr ? Recipients(request.to) : Strings()),
                     Joined(DecodedList(path)), "To recipients");
    std::vector<std::pair<std::string, std::string>> got;
    if (question != std::string::npos) {
        const std::string query = url.substr(question + 1) + "&";
        size_t start = 0;
        for (size_t amp; (amp = query.find('&', start)) != std::string::npos; start = amp + 1) {
            const std::string pair = query.substr(start, amp - start);
            const size_t equals = pair.find('=');
            fuzz::Expect(equals != std::string::npos, "a field without '='", pair.c_str());
            const std::string name = pair.substr(0, equals);
            const std::string value = pair.substr(equals + 1);
            const bool isList = name == "cc" || name == "bcc";
            got.emplace_back(name, isList ? Joined(DecodedList(value)) : Decoded(value));
        }
    }
    fuzz::Expect(got.size() == expected.size(), "number of fields");
    for (size_t i = 0; i < got.size(); ++i) {
        fuzz::ExpectSame(expected[i].first, got[i].first, "field name");
        fuzz::ExpectSame(expected[i].second, got[i].second, expected[i].first.c_str());
    }
    return 0;
}
