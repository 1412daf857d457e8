#include "mailto/MailtoUrl.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <utility>
#include <string>
#include <vector>

#include "tests/TextTesting.h"

namespace {

using Strings = std::vector<std::string>;

// Percent-decodes text, noting in problem any byte that should have been
// encoded and any escape in lower-case hex.
std::string PercentDecoded(const std::string& text, std::string& problem) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isalnum(c) || std::strchr("-._~@", c) != nullptr) {
            out += text[i];
        } else if (c == '%' && i + 2 < text.size() &&
                   text.find_first_not_of("0123456789ABCDEF", i + 1) > i + 2) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            problem += "unencoded '" + text.substr(i, 1) + "' in " + text + "; ";
        }
    }
    return out;
}

// Cuts text at each literal sep and decodes the pieces (none for "").
Strings Pieces(const std::string& text, char sep, std::string* problem = nullptr) {
    Strings pieces;
    size_t start = 0;
    for (size_t end = 0; !text.empty() && end != std::string::npos; start = end + 1) {
        end = text.find(sep, start);
        const std::string piece = text.substr(start, end == std::string::npos ? end : end - start);
        pieces.push_back(problem != nullptr ? PercentDecoded(piece, *problem) : piece);
    }
    return pieces;
}

// What a mail client reads back: the To list, then each query field's name
// and raw value in URL order.
struct Decoded {
    Strings to;
    std::vector<std::pair<std::string, std::string>> fields;
    std::string problem;
};

Decoded Decode(const std::string& url) {
    Decoded d;
    if (url.compare(0, 7, "mailto:") != 0) d.problem = "no mailto: scheme; ";
    const size_t query = url.find('?');
    d.to = Pieces(url.substr(7, query == std::string::npos ? query : query - 7), ',', &d.problem);
    if (query == std::string::npos) return d;
    for (const std::string& pair : Pieces(url.substr(query + 1), '&')) {
        const size_t equals = pair.find('=');
        if (equals == std::string::npos) d.problem += "no '=' in " + pair + "; ";
        d.fields.emplace_back(pair.substr(0, equals),
                              equals == std::string::npos ? "" : pair.substr(equals + 1));
    }
    return d;
}

struct UrlCase {
    const char* name;
    ComposeRequest request;
    Strings to, cc, bcc;
    const char* subject;  // null: no subject field
    const char* body;     // null: no body field
};

std::string Built(const ComposeRequest& request) {
    Text url;
    EXPECT_TRUE(BuildMailtoUrl(request, url));
    return AsString(url);
}

ComposeRequest Request(const char* to, const char* cc, const char* bcc, const char* subject,
                       const char* body) {
    ComposeRequest r;
    r.to = to;
    r.cc = cc;
    r.bcc = bcc;
    r.subject = subject;
    r.body = body;
    return r;
}

const UrlCase kCases[] = {
    {"reserved characters in every field",
     Request("a&b@x.org;c=d?@y.org", "#e+f@z.org", "g;h", "Q? #1 & 100% + a=b, c;d",
             "x&y=z?w#v%u+t,s;r@q p"),
     {"a&b@x.org", "c=d?@y.org"},
     {"#e+f@z.org"},
     {"g", "h"},
     "Q? #1 & 100% + a=b, c;d",
     "x&y=z?w#v%u+t,s;r@q p"},
    {"recipient order kept, empty tokens dropped",
     Request(";;zed@x.org;amy@x.org;;bob@x.org;", ";c2;c1", nullptr, nullptr, nullptr),
     {"zed@x.org", "amy@x.org", "bob@x.org"},
     {"c2", "c1"},
     {},
     nullptr,
     nullptr},
    {"empty subject, empty Cc, Bcc without recipients",
     Request("a@x.org", "", ";;", "", "hi"),
     {"a@x.org"},
     {},
     {},
     nullptr,
     "hi"},
    {"a comma and spaces inside one recipient",
     Request("Doe, John <j@x.org>; Roe, Ann <a@x.org>", nullptr, nullptr, nullptr, nullptr),
     {"Doe, John <j@x.org>", " Roe, Ann <a@x.org>"},
     {},
     {},
     nullptr,
     nullptr},
    {"line breaks of every kind",
     Request(nullptr, nullptr, nullptr, "one\rline", "1\n2\r\n3\r4\n\r5\r\n\r\n6\r"),
     {},
     {},
     {},
     "one\rline",
     "1\r\n2\r\n3\r\n4\r\n\r\n5\r\n\r\n6\r\n"},
    {"UTF-8 as it is, beyond any code page",
     Request("j\xC3\xBC@x.org;\xC5\x81ukasz", nullptr, nullptr, "\xE2\x82\xAC 5 \xE2\x9C\x93",
             "Gr\xC3\xBC\xC3\x9F"
             "e \xF0\x9F\x98\x80"),
     {"j\xC3\xBC@x.org", "\xC5\x81ukasz"},
     {},
     {},
     "\xE2\x82\xAC 5 \xE2\x9C\x93",
     "Gr\xC3\xBC\xC3\x9F"
     "e \xF0\x9F\x98\x80"},
    {"the empty request",
     Request(nullptr, nullptr, nullptr, nullptr, nullptr),
     {},
     {},
     {},
     nullptr,
     nullptr},
};

TEST(MailtoUrl, DecodesToTheRequestedFields) {
    for (const UrlCase& c : kCases) {
        const std::string url = Built(c.request);
        SCOPED_TRACE(std::string(c.name) + ": " + url);
        Decoded d = Decode(url);
        EXPECT_EQ(d.to, c.to);
        // The fields expected, in the order they must come.
        std::vector<std::pair<std::string, Strings>> expected;
        if (!c.cc.empty()) expected.emplace_back("cc", c.cc);
        if (!c.bcc.empty()) expected.emplace_back("bcc", c.bcc);
        if (c.subject != nullptr) expected.emplace_back("subject", Strings{c.subject});
        if (c.body != nullptr) expected.emplace_back("body", Strings{c.body});
        std::vector<std::pair<std::string, Strings>> got;
        for (const auto& field : d.fields) {
            const bool list = field.first == "cc" || field.first == "bcc";
            got.emplace_back(field.first, list ? Pieces(field.second, ',', &d.problem)
                                               : Strings{PercentDecoded(field.second, d.problem)});
        }
        EXPECT_EQ(got, expected);
        EXPECT_EQ(d.problem, "");
    }
}

TEST(MailtoUrl, ExactUrls) {
    EXPECT_EQ(Built(Request("alice@example.com;bob@example.com", "carol@example.com", nullptr,
                            "Hi there & more", "Line1\nLine2")),
              "mailto:alice@example.com,bob@example.com?cc=carol@example.com"
              "&subject=Hi%20there%20%26%20more&body=Line1%0D%0ALine2");
    EXPECT_EQ(Built(Request("Doe, Jo <jo@x.org>", "", ";;", "", "100% + \xC3\xBC")),
              "mailto:Doe%2C%20Jo%20%3Cjo@x.org%3E?body=100%25%20%2B%20%C3%BC");
}

}  // namespace
