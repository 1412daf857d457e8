// What every fuzz target shares: a check that stops the run with a readable
// report when the code under test and its model disagree, and a way to cut
// the fuzzer's bytes into the pieces a target needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzz {

// Bytes made printable for a report: escapes for everything outside ASCII.
inline std::string Shown(const std::string& bytes) {
    std::string shown = "\"";
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            shown += escape;
        }
    }
    return shown + "\"";
}

// A disagreement is a finding: libFuzzer keeps the input that caused it.
[[noreturn]] inline void Fail(const char* what, const std::string& detail = std::string()) {
    std::fprintf(stderr, "MODEL MISMATCH: %s %s\n", what, detail.c_str());
    std::abort();
}

inline void Expect(bool holds, const char* what, const char* detail = "") {
    if (!holds) Fail(what, detail);
}

inline void ExpectSame(const std::string& expected, const std::string& actual, const char* what) {
    if (expected != actual) Fail(what, "expected " + Shown(expected) + ", got " + Shown(actual));
}

// The input cut at every zero byte: n zero bytes give n + 1 pieces, some of
// them possibly empty, none holding a zero byte.
inline std::vector<std::string> PiecesBetweenZeros(const uint8_t* data, size_t size) {
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            pieces.emplace_back();
        } else {
            pieces.back() += static_cast<char>(data[i]);
        }
    }
    return pieces;
}

}  // namespace fuzz
