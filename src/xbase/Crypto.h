#pragma once
// Password encryption of table files: a ChaCha20 key stream addressed by file offset, so any record, memo
// or index entry can be read alone. Keys come from a keyed hash of the password and a per-file salt.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace xbase::detail {

constexpr std::size_t kSaltSize = 16;
constexpr std::size_t kVerifierSize = 16;
using Salt = std::array<std::uint8_t, kSaltSize>;
using Verifier = std::array<std::uint8_t, kVerifierSize>;

class Cipher {
public:
    Cipher() = default;  // inactive: Apply does nothing
    // The file key of a password and salt; purpose separates the key streams of table, memo and index.
    static Cipher FromPassword(std::string_view password, const Salt& salt);
    Cipher Derive(std::string_view purpose, const std::uint8_t* extra = nullptr, std::size_t extraLen = 0) const;
    bool Active() const { return active_; }
    // XORs the key stream at the given file offset over data (encrypts and decrypts alike).
    void Apply(std::uint8_t* data, std::size_t n, std::uint64_t offset) const;
    // The key stream itself for the n bytes from offset; XOR it over the file bytes there to decrypt them.
    // One call for many bytes is several times cheaper per byte than one call per record or entry.
    void KeyStream(std::uint8_t* out, std::size_t n, std::uint64_t offset) const;
    // A value that proves the password without revealing the key.
    Verifier MakeVerifier() const;

private:
    std::array<std::uint8_t, 32> key_{};
    bool active_ = false;
};

void RandomBytes(void* out, std::size_t n);
bool EqualConstantTime(const std::uint8_t* a, const std::uint8_t* b, std::size_t n);
// A 16-byte digest of bytes (not secret; used to tie the index to a table state).
std::array<std::uint8_t, 16> Digest16(const std::uint8_t* data, std::size_t n);

}  // namespace xbase::detail
