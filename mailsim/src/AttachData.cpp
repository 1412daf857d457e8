#include "AttachData.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace mailsim {

AttachData::AttachData(const std::string& bytes) {
    Write(0, bytes.data(), bytes.size());
}

bool AttachData::Read(uint64_t offset, void* buffer, size_t count) const {
    if (count == 0) return true;
    if (offset > held_.size() || count > held_.size() - offset) return false;
    std::memcpy(buffer, held_.data() + offset, count);
    return true;
}

bool AttachData::Write(uint64_t offset, const void* bytes, size_t count) {
    if (broken_) throw std::runtime_error("attachment digest failed");
    if (count == 0) return true;
    const uint64_t end = offset + count;
    if (Whole() && end <= kHeldBytes) {
        if (held_.size() < end) held_.resize(static_cast<size_t>(end), '\0');
        std::memcpy(&held_[static_cast<size_t>(offset)], bytes, count);
        size_ = held_.size();
        return true;
    }
    if (!Whole() && offset < size_) return false;
    PrepareGrowth(std::min(offset, size_), end);
    AppendZeros(offset - size_);
    Append(static_cast<const char*>(bytes), count);
    return true;
}

bool AttachData::Resize(uint64_t size) {
    if (broken_) throw std::runtime_error("attachment digest failed");
    if (size == size_) return true;
    if (size <= kHeldBytes) {
        // The first kHeldBytes bytes are always held: what is left is whole.
        held_.resize(static_cast<size_t>(size), '\0');
        hash_.reset();
        size_ = size;
        return true;
    }
    if (size < size_) return false;
    PrepareGrowth(size_, size);
    AppendZeros(size - size_);
    return true;
}

std::string AttachData::HexDigest() const {
    if (broken_) throw std::runtime_error("attachment digest failed");
    return Whole() ? Sha256Hex(held_) : hash_->HexDigest();
}

void AttachData::PrepareGrowth(uint64_t keep, uint64_t end) {
    std::unique_ptr<Sha256> fresh;
    if (Whole()) {
        // From now on the data is longer than held: start its digest.
        fresh.reset(new Sha256);
        fresh->Update(held_.data(), static_cast<size_t>(keep));
    }
    held_.reserve(static_cast<size_t>(std::min<uint64_t>(end, kHeldBytes)));
    if (fresh) {
        held_.resize(static_cast<size_t>(keep));
        size_ = keep;
        hash_ = std::move(fresh);
    }
}

void AttachData::AppendZeros(uint64_t count) {
    static const char zeros[4096] = {};
    while (count != 0) {
        const size_t part = static_cast<size_t>(std::min<uint64_t>(count, sizeof zeros));
        Append(zeros, part);
        count -= part;
    }
}

void AttachData::Append(const char* bytes, size_t count) {
    Hash(bytes, count);
    if (held_.size() < kHeldBytes) held_.append(bytes, std::min(count, kHeldBytes - held_.size()));
    size_ += count;
}

void AttachData::Hash(const void* bytes, size_t count) {
    broken_ = true;
    hash_->Update(bytes, count);
    broken_ = false;
}

}  // namespace mailsim
