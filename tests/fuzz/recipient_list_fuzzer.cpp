// Recipient-list splitting against a model: the recipients are the non-empty
// pieces between ';', in list order, untrimmed, each with the list's kind;
// the caller's list is left as it was. The runtime's tokeniser works on
// single bytes here, so every byte other than ';' belongs to a token. The
// first byte picks the kind, the rest up to a zero byte is the list.
#include <string>
#include <vector>

#include "tests/fuzz/FuzzModel.h"
#include "text/TextHelpers.h"

namespace {

std::vector<std::string> NonEmptyPieces(const std::string& list) {
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : list) {
        if (c == ';') {
            if (!piece.empty()) pieces.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (!piece.empty()) pieces.push_back(piece);
    return pieces;
}

std::string Listed(const std::vector<std::string>& tokens) {
    std::string listed;
    for (const std::string& token : tokens) listed += fuzz::Shown(token) + " ";
    return listed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const RecipientKind kinds[] = {RecipientKind::To, RecipientKind::Cc, RecipientKind::Bcc};
    const RecipientKind kind = kinds[data[0] % 3];
    const std::string list = fuzz::PiecesBetweenZeros(data + 1, size - 1).front();

    std::vector<std::string> tokens;
    bool kindKept = true;
    const std::string before = list;
    SplitRecipientList(list.c_str(), kind, [&](const char* name, RecipientKind given) {
        tokens.push_back(name);
        kindKept = kindKept && given == kind;
    });

    const std::vector<std::string> expected = NonEmptyPieces(list);
    if (tokens != expected) {
        fuzz::Fail("recipients:", "expected " + Listed(expected) + "got " + Listed(tokens));
    }
    fuzz::Expect(kindKept, "a recipient got another kind");
    fuzz::ExpectSame(before, list, "the caller's list was changed");

    int calls = 0;
    SplitRecipientList(nullptr, kind, [&](const char*, RecipientKind) { ++calls; });
    fuzz::Expect(calls == 0, "a null list yielded recipients");
    return 0;
}
