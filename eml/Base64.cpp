#include "eml/Base64.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Two characters for every 12 bits: one look-up per half of a 3-byte group.
struct PairTable {
    char pairs[4096][2];
};

constexpr PairTable MakePairTable() {
    PairTable table{};
    for (int i = 0; i < 4096; ++i) {
        table.pairs[i][0] = kAlphabet[i >> 6];
        table.pairs[i][1] = kAlphabet[i & 63];
    }
    return table;
}

constexpr PairTable kPairs = MakePairTable();

// Full 3-byte groups only.
char* EncodeGroups(const unsigned char* in, size_t groups, char* out) {
    for (size_t g = 0; g < groups; ++g, in += 3, out += 4) {
        const uint32_t bits =
            static_cast<uint32_t>(in[0]) << 16 | static_cast<uint32_t>(in[1]) << 8 | in[2];
        std::memcpy(out, kPairs.pairs[bits >> 12], 2);
        std::memcpy(out + 2, kPairs.pairs[bits & 0xFFF], 2);
    }
    return out;
}

// The last 1 or 2 bytes, padded.
char* EncodeTail(const unsigned char* in, size_t count, char* out) {
    if (count == 0) return out;
    const uint32_t bits = static_cast<uint32_t>(in[0]) << 16 | (count == 2 ? in[1] << 8 : 0);
    out[0] = kAlphabet[bits >> 18];
    out[1] = kAlphabet[(bits >> 12) & 63];
    out[2] = count == 2 ? kAlphabet[(bits >> 6) & 63] : '=';
    out[3] = '=';
    return out + 4;
}

}  // namespace

size_t EncodeBase64(const unsigned char* in, size_t count, char* out) {
    char* end = EncodeGroups(in, count / 3, out);
    end = EncodeTail(in + count / 3 * 3, count % 3, end);
    return static_cast<size_t>(end - out);
}

size_t EncodeBase64Lines(const unsigned char* in, size_t count, char* out) {
    char* end = out;
    for (; count >= kBase64LineBytes; count -= kBase64LineBytes, in += kBase64LineBytes) {
        end = EncodeGroups(in, kBase64LineBytes / 3, end);
        end[0] = '\r';
        end[1] = '\n';
        end += 2;
    }
    if (count != 0) {
        end = EncodeGroups(in, count / 3, end);
        end = EncodeTail(in + count / 3 * 3, count % 3, end);
        end[0] = '\r';
        end[1] = '\n';
        end += 2;
    }
    return static_cast<size_t>(end - out);
}
