// A running SHA-256 digest, computed by the platform's own crypto library:
// OpenSSL's libcrypto on Linux, the system's BCrypt in the Windows DLL (one
// implementation file each, chosen by the build).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace mailsim {

class Sha256 {
public:
    // Throws std::bad_alloc when the library cannot allocate its state and
    // std::runtime_error when it fails otherwise; so do the methods below.
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* bytes, size_t size);
    // Lower-case hex digest of everything given so far; the digest can go
    // on taking bytes afterwards.
    std::string HexDigest() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Lower-case hex SHA-256 digest of bytes.
inline std::string Sha256Hex(const std::string& bytes) {
    Sha256 digest;
    digest.Update(bytes.data(), bytes.size());
    return digest.HexDigest();
}

}  // namespace mailsim
