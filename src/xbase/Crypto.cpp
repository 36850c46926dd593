#include "xbase/Crypto.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace xbase::detail {
namespace {

void EnsureSodium() {
    static const int ready = sodium_init();
    if (ready < 0) throw std::runtime_error("libsodium cannot be initialised");
}

constexpr std::uint8_t kNonce[crypto_stream_chacha20_ietf_NONCEBYTES] = {};

}  // namespace

Cipher Cipher::FromPassword(std::string_view password, const Salt& salt) {
    EnsureSodium();
    Cipher c;
    crypto_generichash(c.key_.data(), c.key_.size(), reinterpret_cast<const unsigned char*>(password.data()),
                       password.size(), salt.data(), salt.size());
    c.active_ = true;
    return c;
}

Cipher Cipher::Derive(std::string_view purpose, const std::uint8_t* extra, std::size_t extraLen) const {
    Cipher c;
    if (!active_) return c;
    crypto_generichash_state st;
    crypto_generichash_init(&st, key_.data(), key_.size(), c.key_.size());
    crypto_generichash_update(&st, reinterpret_cast<const unsigned char*>(purpose.data()), purpose.size());
    if (extraLen) crypto_generichash_update(&st, extra, extraLen);
    crypto_generichash_final(&st, c.key_.data(), c.key_.size());
    c.active_ = true;
    return c;
}

void Cipher::Apply(std::uint8_t* data, std::size_t n, std::uint64_t offset) const {
    if (!active_ || n == 0) return;
    if ((offset + n) / 64 > 0xFFFFFFFFull) throw std::length_error("encrypted file too large");
    std::size_t head = offset % 64;
    if (head) {
        std::uint8_t block[64] = {};
        crypto_stream_chacha20_ietf_xor_ic(block, block, 64, kNonce, static_cast<std::uint32_t>(offset / 64),
                                           key_.data());
        std::size_t k = n < 64 - head ? n : 64 - head;
        for (std::size_t i = 0; i < k; ++i) data[i] ^= block[head + i];
        data += k;
        n -= k;
        offset += k;
    }
    if (n) {
        crypto_stream_chacha20_ietf_xor_ic(data, data, n, kNonce, static_cast<std::uint32_t>(offset / 64),
                                           key_.data());
    }
}

void Cipher::KeyStream(std::uint8_t* out, std::size_t n, std::uint64_t offset) const {
    static constexpr std::size_t kChunk = 4096;
    static const std::uint8_t kZeros[kChunk] = {};
    if (!active_ || offset % 64 != 0 || (offset + n) / 64 > 0xFFFFFFFFull) {
        std::memset(out, 0, n);
        Apply(out, n, offset);
        return;
    }
    // The cipher XORs its stream over zeros: no buffer to clear first.
    for (std::size_t at = 0; at < n; at += kChunk) {
        crypto_stream_chacha20_ietf_xor_ic(out + at, kZeros, std::min(kChunk, n - at), kNonce,
                                           static_cast<std::uint32_t>((offset + at) / 64), key_.data());
    }
}

Verifier Cipher::MakeVerifier() const {
    Verifier v{};
    static constexpr char kLabel[] = "password verifier";
    crypto_generichash(v.data(), v.size(), reinterpret_cast<const unsigned char*>(kLabel), sizeof kLabel - 1,
                       key_.data(), key_.size());
    return v;
}

void RandomBytes(void* out, std::size_t n) {
    EnsureSodium();
    randombytes_buf(out, n);
}

bool EqualConstantTime(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
    return sodium_memcmp(a, b, n) == 0;
}

std::array<std::uint8_t, 16> Digest16(const std::uint8_t* data, std::size_t n) {
    EnsureSodium();
    std::array<std::uint8_t, 16> d{};
    crypto_generichash(d.data(), d.size(), data, n, nullptr, 0);
    return d;
}

}  // namespace xbase::detail
