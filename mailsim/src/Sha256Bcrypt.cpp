// SHA-256 through the system's BCrypt (bcrypt.dll), so that the provider DLL
// needs nothing beyond the operating system's own libraries.
#include <windows.h>

#include <bcrypt.h>

#include <new>
#include <stdexcept>

#include "Sha256.h"
#include "Text.h"

namespace mailsim {
namespace {

constexpr ULONG kDigestSize = 32;

void Check(NTSTATUS status, const char* what) {
    if (status == static_cast<NTSTATUS>(0xC0000017L)) throw std::bad_alloc();  // STATUS_NO_MEMORY
    if (!BCRYPT_SUCCESS(status)) throw std::runtime_error(what);
}

// The algorithm provider, opened once and kept for the life of the DLL.
BCRYPT_ALG_HANDLE Algorithm() {
    static BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (algorithm == nullptr) {
        BCRYPT_ALG_HANDLE opened = nullptr;
        Check(BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0),
              "BCryptOpenAlgorithmProvider failed");
        algorithm = opened;
    }
    return algorithm;
}

}  // namespace

struct Sha256::State {
    BCRYPT_HASH_HANDLE hash = nullptr;
    ~State() {
        if (hash != nullptr) BCryptDestroyHash(hash);
    }
};

Sha256::Sha256() : state_(new State) {
    // BCrypt allocates the hash object itself when given no buffer.
    Check(BCryptCreateHash(Algorithm(), &state_->hash, nullptr, 0, nullptr, 0, 0),
          "BCryptCreateHash failed");
}

Sha256::~Sha256() = default;

void Sha256::Update(const void* bytes, size_t size) {
    const UCHAR* next = static_cast<const UCHAR*>(bytes);
    while (size != 0) {
        const ULONG part = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
        Check(BCryptHashData(state_->hash, const_cast<UCHAR*>(next), part, 0),
              "BCryptHashData failed");
        next += part;
        size -= part;
    }
}

std::string Sha256::HexDigest() const {
    // Finishing consumes a hash: finish a duplicate so this one can go on.
    State copy;
    Check(BCryptDuplicateHash(state_->hash, &copy.hash, nullptr, 0, 0),
          "BCryptDuplicateHash failed");
    UCHAR digest[kDigestSize];
    Check(BCryptFinishHash(copy.hash, digest, kDigestSize, 0), "BCryptFinishHash failed");
    return HexFromBytes(std::string(reinterpret_cast<const char*>(digest), kDigestSize));
}

}  // namespace mailsim
