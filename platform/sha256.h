#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace orvel {

// SHA-256 of a stream of bytes, from the system's cryptography library (it
// uses the processor's SHA instructions where there are any).
class Sha256 {
public:
    Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    ~Sha256();

    // False once the library has refused a step; the digest is then worthless.
    bool usable() const;
    void update(const void* bytes, std::size_t length);
    // The digest of everything given; the object then starts over empty.
    std::array<std::uint8_t, 32> finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A digest as sha256sum writes it: 64 lower-case hexadecimal digits.
std::string hexDigest(const std::array<std::uint8_t, 32>& digest);

} // namespace orvel
