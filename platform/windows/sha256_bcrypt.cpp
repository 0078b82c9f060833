#include "platform/sha256.h"

#include <windows.h>

#include <bcrypt.h>

namespace orvel {

namespace {

bool succeeded(NTSTATUS status)
{
    return status >= 0;
}

} // namespace

// The system's own hash provider: the one-hash-object-per-digest pattern of
// CNG, reusable since Windows 8 (BCRYPT_HASH_REUSABLE_FLAG).
struct Sha256::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool usable = false;

    State()
    {
        usable = succeeded(::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr,
                                                         BCRYPT_HASH_REUSABLE_FLAG)) &&
                 succeeded(::BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, BCRYPT_HASH_REUSABLE_FLAG));
    }
    ~State()
    {
        if (hash != nullptr)
            ::BCryptDestroyHash(hash);
        if (algorithm != nullptr)
            ::BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {}

Sha256::~Sha256() = default;

bool Sha256::usable() const
{
    return state_->usable;
}

void Sha256::update(const void* bytes, std::size_t length)
{
    // One call takes at most 4 GiB - 1 bytes.
    const auto* next = static_cast<const std::uint8_t*>(bytes);
    while (state_->usable && length > 0) {
        const auto part = static_cast<ULONG>(length > 0x40000000u ? 0x40000000u : length);
        if (!succeeded(::BCryptHashData(state_->hash, const_cast<PUCHAR>(next), part, 0)))
            state_->usable = false;
        next += part;
        length -= part;
    }
}

std::array<std::uint8_t, 32> Sha256::finish()
{
    std::array<std::uint8_t, 32> digest{};
    if (!state_->usable || !succeeded(::BCryptFinishHash(state_->hash, digest.data(), digest.size(), 0)))
        state_->usable = false;
    return digest;
}

} // namespace orvel
