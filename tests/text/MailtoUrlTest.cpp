#include "text/MailtoUrl.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/TextTesting.h"

namespace {

using Strings = std::vector<std::string>;

// What a mail client reads back from a mailto: URL.
struct Decoded {
    Strings to;
    std::vector<std::string> fieldOrder;
    std::map<std::string, std::string> fields;  // raw (still encoded) values
    std::string problem;                        // why the URL is not well formed
};

std::string PercentDecoded(const std::string& text, std::string& problem) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool kept = std::isalnum(c) || std::strchr("-._~@", c) != nullptr;
        if (c == '%' && i + 2 < text.size() && std::isxdigit(text[i + 1]) &&
            std::isxdigit(text[i + 2]) && !std::islower(text[i + 1]) &&
            !std::islower(text[i + 2])) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else if (kept) {
            out += text[i];
        } else {
            problem += "unexpected byte '" + std::string(1, text[i]) + "' in " + text + "; ";
        }
    }
    return out;
}

Strings SplitList(const std::string& text, std::string& problem) {
    Strings items;
    size_t start = 0;
    for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1) {
        items.push_back(PercentDecoded(text.substr(start, comma - start), problem));
    }
    if (!text.empty()) items.push_back(PercentDecoded(text.substr(start), problem));
    return items;
}

Decoded Decode(const std::string& url) {
    Decoded d;
    if (url.compare(0, 7, "mailto:") != 0) {
        d.problem = "no mailto: scheme";
        return d;
    }
    const size_t query = url.find('?');
    d.to = SplitList(url.substr(7, query == std::string::npos ? std::string::npos : query - 7),
                     d.problem);
    if (query == std::string::npos) return d;
    std::string rest = url.substr(query + 1);
    size_t start = 0;
    for (;;) {
        const size_t amp = rest.find('&', start);
        const std::string pair = rest.substr(start, amp == std::string::npos ? amp : amp - start);
        const size_t equals = pair.find('=');
        if (equals == std::string::npos) d.problem += "field without '=': " + pair + "; ";
        d.fieldOrder.push_back(pair.substr(0, equals));
        d.fields[pair.substr(0, equals)] =
            equals == std::string::npos ? "" : pair.substr(equals + 1);
        if (amp == std::string::npos) break;
        start = amp + 1;
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

std::string Built(const ComposeRequest& request, UINT codePage = 1252) {
    Text url;
    EXPECT_TRUE(BuildMailtoUrl(request, url, codePage));
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

// Code page 1252 is pinned, so the same table holds under Wine whatever the
// prefix's locale.
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
    {"code page 1252 as UTF-8",
     Request("j\xFC@x.org", nullptr, nullptr, "\x80 5",
             "Gr\xFC\xDF"
             "e\x85"),
     {"j\xC3\xBC@x.org"},
     {},
     {},
     "\xE2\x82\xAC 5",
     "Gr\xC3\xBC\xC3\x9F"
     "e\xE2\x80\xA6"},
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
        const Decoded d = Decode(url);
        SCOPED_TRACE(std::string(c.name) + ": " + url);
        std::string problem = d.problem;
        EXPECT_EQ(d.to, c.to);
        Strings order;
        for (const char* name : {"cc", "bcc", "subject", "body"}) {
            if (d.fields.count(name) != 0) order.push_back(name);
        }
        EXPECT_EQ(d.fieldOrder, order) << "fields out of order, unknown or repeated";
        const auto list = [&](const char* name) {
            return d.fields.count(name) ? SplitList(d.fields.at(name), problem) : Strings();
        };
        EXPECT_EQ(list("cc"), c.cc);
        EXPECT_EQ(list("bcc"), c.bcc);
        const auto text = [&](const char* name, const char* expected) {
            if (expected == nullptr) {
                EXPECT_EQ(d.fields.count(name), 0u) << name;
            } else {
                ASSERT_EQ(d.fields.count(name), 1u) << name;
                EXPECT_EQ(PercentDecoded(d.fields.at(name), problem), expected) << name;
            }
        };
        text("subject", c.subject);
        text("body", c.body);
        EXPECT_EQ(problem, "");
    }
}

TEST(MailtoUrl, ExactUrls) {
    EXPECT_EQ(Built(Request("alice@example.com;bob@example.com", "carol@example.com", nullptr,
                            "Hi there & more", "Line1\nLine2")),
              "mailto:alice@example.com,bob@example.com?cc=carol@example.com"
              "&subject=Hi%20there%20%26%20more&body=Line1%0D%0ALine2");
    EXPECT_EQ(Built(Request("Doe, Jo <jo@x.org>", "", ";;", "", "100% + \xFC")),
              "mailto:Doe%2C%20Jo%20%3Cjo@x.org%3E?body=100%25%20%2B%20%C3%BC");
}

// The system's ANSI code page: whatever it is, plain ASCII comes out the same.
TEST(MailtoUrl, AnsiCodePageByDefault) {
    Text url;
    ASSERT_TRUE(BuildMailtoUrl(Request("a@x.org", nullptr, nullptr, "Hi you", nullptr), url));
    EXPECT_EQ(url, std::string("mailto:a@x.org?subject=Hi%20you"));
}

}  // namespace
