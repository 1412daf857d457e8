// SHA-256 through OpenSSL's EVP interface.
#include <openssl/evp.h>

#include <new>
#include <stdexcept>

#include "Sha256.h"
#include "Text.h"

namespace mailsim {
// A named namespace: Sha256::State has external linkage, so its members
// take no types from an anonymous one.
namespace evp {

struct ContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_MD_CTX, ContextDeleter>;

Context NewContext() {
    Context context(EVP_MD_CTX_new());
    if (!context) throw std::bad_alloc();
    return context;
}

}  // namespace evp

struct Sha256::State {
    evp::Context context = evp::NewContext();
};

Sha256::Sha256() : state_(new State) {
    if (EVP_DigestInit_ex(state_->context.get(), EVP_sha256(), nullptr) != 1) {
        throw std::runtime_error("EVP_DigestInit_ex failed");
    }
}

Sha256::~Sha256() = default;

void Sha256::Update(const void* bytes, size_t size) {
    if (size != 0 && EVP_DigestUpdate(state_->context.get(), bytes, size) != 1) {
        throw std::runtime_error("EVP_DigestUpdate failed");
    }
}

std::string Sha256::HexDigest() const {
    // Finishing consumes a context: finish a copy so this one can go on.
    evp::Context copy = evp::NewContext();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_MD_CTX_copy_ex(copy.get(), state_->context.get()) != 1 ||
        EVP_DigestFinal_ex(copy.get(), digest, &size) != 1) {
        throw std::runtime_error("EVP_DigestFinal_ex failed");
    }
    return HexFromBytes(std::string(reinterpret_cast<const char*>(digest), size));
}

}  // namespace mailsim
