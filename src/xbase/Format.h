#pragma once
// The .dbf layout: header and field descriptors (read for every variant, written as FoxPro 2.x), record
// values, and the fixed-width keys the index is made of.

#include "xbase/Crypto.h"
#include "xbase/Table.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace xbase::detail {

enum class MemoKind { None, Fpt, Dbt };
enum class KeyKind { Character, Numeric };

constexpr std::uint8_t kVersionFoxPro = 0xF5;
constexpr std::uint8_t kCodePageWindows1252 = 0x03;
constexpr std::uint8_t kFieldFlagBinary = 0x04;
constexpr std::uint8_t kEncryptedFlag = 1;
// Encrypted tables carry this block right after the 0x0D terminator (inside the header length):
// magic (8), salt (16), password verifier (16), reserved (8).
constexpr char kKeyBlockMagic[8] = {'Z', 'X', 'K', 'E', 'Y', '1', 0, 0};
constexpr std::size_t kKeyBlockSize = 48;
constexpr std::size_t kNumericKeyWidth = 8;

struct FieldInfo {
    FieldDef def;
    std::uint32_t offset = 0;  // in the record, the deletion flag being byte 0
    std::uint8_t flags = 0;
    bool memo = false;         // the field holds a memo pointer
    bool binaryPointer = false;  // 4-byte little-endian memo pointer (Visual FoxPro)
};

struct Header {
    std::uint8_t version = 0;
    std::uint32_t storedCount = 0;
    std::uint32_t headerLength = 0;
    std::uint32_t recordLength = 0;
    bool encrypted = false;
    bool hasKeyBlock = false;
    Salt salt{};
    Verifier verifier{};
    MemoKind memo = MemoKind::None;
    std::vector<FieldInfo> fields;
};

// Parses the first headerLength bytes of a table. Throws FormatError with the reason.
Header ParseHeader(const std::uint8_t* data, std::size_t size, const std::string& path);
// The header length a table needs, read from its first 32 bytes (FormatError when implausible).
std::uint32_t HeaderLengthOf(const std::uint8_t* first32, const std::string& path);

// Field definitions checked for creating a table; throws UsageError.
std::vector<FieldInfo> CheckNewFields(const std::vector<FieldDef>& fields, const std::string& path);
// Header bytes of a new FoxPro 2.x table (count 0). keyBlock non-null for an encrypted table.
std::vector<std::uint8_t> BuildHeader(const std::vector<FieldInfo>& fields, const Salt* salt,
                                      const Verifier* verifier);
// Updates count and date in a header (the first 8 bytes).
void StampHeader(std::uint8_t* header, std::uint32_t count);

// Record values.
std::string_view RawValue(const FieldInfo& f, const std::uint8_t* record);
std::string FieldText(const FieldInfo& f, const std::uint8_t* record);  // not for memo fields
long long FieldInteger(const FieldInfo& f, const std::uint8_t* record);
void StoreText(const FieldInfo& f, std::uint8_t* record, std::string_view value, const std::string& path);
void StoreInteger(const FieldInfo& f, std::uint8_t* record, long long value, const std::string& path);
// Memo block number, 0 for none; FormatError when the pointer is not a number.
std::uint32_t MemoPointer(const FieldInfo& f, const std::uint8_t* record, const std::string& path);
void StoreMemoPointer(const FieldInfo& f, std::uint8_t* record, std::uint32_t block);

// Text helpers.
// Without trailing blanks and NULs. Text fields are mostly padding: blanks go eight at a time first.
inline std::string_view TrimRight(std::string_view s) {
    constexpr std::uint64_t kBlanks = 0x2020202020202020ULL;
    std::uint64_t tail;
    while (s.size() >= 8 && (std::memcpy(&tail, s.data() + s.size() - 8, 8), tail == kBlanks)) s.remove_suffix(8);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
    return s;
}
std::string_view Trim(std::string_view s);
bool ParseNumber(std::string_view text, double& value);  // whole text after trimming blanks
long long ParseInteger(std::string_view text);            // 0 when blank or not a number

// Index keys.
KeyKind KeyKindOf(const FieldInfo& f);
std::size_t KeyWidth(const FieldInfo& f);
void MakeKey(const FieldInfo& f, const std::uint8_t* record, std::uint8_t* out);
void EncodeNumber(double value, std::uint8_t* out);  // 8 bytes whose byte order is the numeric order

}  // namespace xbase::detail
