// Attachment data as the client keeps it, whatever its size: its length, a
// running SHA-256 and its first kHeldBytes bytes. Data that fits in those is
// held whole and can be read and rewritten anywhere; longer data can only
// grow at its end, so that its digest is always that of its bytes in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "Sha256.h"

namespace mailsim {

class AttachData {
public:
    static constexpr size_t kHeldBytes = 64 * 1024;

    AttachData() = default;
    explicit AttachData(const std::string& bytes);

    uint64_t Size() const { return size_; }
    // Every byte is held: the data is no longer than kHeldBytes.
    bool Whole() const { return hash_ == nullptr; }
    const std::string& Held() const { return held_; }

    // Copies count bytes from offset; false when they are not all held.
    bool Read(uint64_t offset, void* buffer, size_t count) const;
    // Writes count bytes at offset; a gap past the end becomes zero bytes.
    // False, changing nothing, for a write into longer-than-held data
    // anywhere but at or past its end.
    bool Write(uint64_t offset, const void* bytes, size_t count);
    // Truncates, or extends with zero bytes; false, changing nothing, for
    // a truncation of longer-than-held data that still leaves it longer.
    bool Resize(uint64_t size);

    std::string HexDigest() const;

private:
    // Gets ready for the data to grow at or past its end to `end` bytes,
    // keeping its first `keep` bytes: everything that can fail happens here.
    void PrepareGrowth(uint64_t keep, uint64_t end);
    void AppendZeros(uint64_t count);
    void Append(const char* bytes, size_t count);
    void Hash(const void* bytes, size_t count);

    std::string held_;  // the first min(size_, kHeldBytes) bytes
    uint64_t size_ = 0;
    std::unique_ptr<Sha256> hash_;  // all size_ bytes, once they are more than held
    bool broken_ = false;           // the digest library failed midway
};

}  // namespace mailsim
