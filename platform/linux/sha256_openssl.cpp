#include "platform/sha256.h"

#include <openssl/evp.h>

namespace orvel {

struct Sha256::State {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    bool usable = context != nullptr && EVP_DigestInit_ex(context, EVP_sha256(), nullptr) == 1;

    ~State() { EVP_MD_CTX_free(context); }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {}

Sha256::~Sha256() = default;

bool Sha256::usable() const
{
    return state_->usable;
}

void Sha256::update(const void* bytes, std::size_t length)
{
    if (state_->usable && EVP_DigestUpdate(state_->context, bytes, length) != 1)
        state_->usable = false;
}

std::array<std::uint8_t, 32> Sha256::finish()
{
    std::array<std::uint8_t, 32> digest{};
    unsigned int length = 0;
    if (!state_->usable || EVP_DigestFinal_ex(state_->context, digest.data(), &length) != 1 || length != digest.size())
        state_->usable = false;
    if (EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1)
        state_->usable = false;
    return digest;
}

} // namespace orvel
