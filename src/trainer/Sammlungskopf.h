#pragma once
// The header file of a vocabulary collection (".lvh"): one record of 604 bytes that the trainer program
// owns. This system reads the fields it needs, changes a few counters and writes the record back whole;
// every byte it does not know is kept exactly as read. Integers are 32-bit little-endian, strings carry a
// length byte, texts are Windows-1252.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zanit {

inline constexpr std::size_t kKopfgroesse = 604;
inline constexpr int kMaxLektionen = 200;

class TSammlungskopf {
public:
    TSammlungskopf() { bytes_.fill(0); }
    explicit TSammlungskopf(const std::array<std::uint8_t, kKopfgroesse>& bytes) : bytes_(bytes) {}

    // A new header as the trainer writes it for an empty collection (signature, base name, next number 1).
    static TSammlungskopf Neu(std::string_view basisname);

    const std::array<std::uint8_t, kKopfgroesse>& Bytes() const { return bytes_; }

    bool SignaturOk() const;               // length byte 5 followed by "LMVOK"
    std::string Basisname() const;         // names the vocabulary table; + "L" the lesson table
    void SetzeBasisname(std::string_view name);  // at most 49 characters
    std::uint32_t Schutzbenutzer() const;  // who set the write protection
    bool Schreibschutz() const;            // the flag byte is not zero
    // Protected against this system, whose own user number is 0.
    bool GeschuetztGegenUns() const { return Schreibschutz() && Schutzbenutzer() != 0; }
    std::int32_t ZaehlerA() const;
    std::int32_t Lektionszahl() const;
    bool Lektionsflag(int lektion) const;  // lektion 1..200
    std::int32_t ZaehlerB() const;
    double Aenderungsdatum() const;        // days since 30 December 1899
    std::int32_t NaechsteNummer() const;   // below 1: a collection of an outdated format

    void SetzeSchutz(bool an, std::uint32_t benutzer);
    void SetzeZaehlerA(std::int32_t v);
    void SetzeLektionszahl(std::int32_t v);
    void SetzeLektionsflag(int lektion, bool an);
    void SetzeZaehlerB(std::int32_t v);
    void SetzeAenderungsdatum(double tage);
    void SetzeNaechsteNummer(std::int32_t v);

    friend bool operator==(const TSammlungskopf& a, const TSammlungskopf& b) { return a.bytes_ == b.bytes_; }

private:
    std::int32_t Zahl(std::size_t offset) const;
    void SetzeZahl(std::size_t offset, std::int32_t v);
    std::array<std::uint8_t, kKopfgroesse> bytes_;
};

// Today's date as the header stores it: whole days since 30 December 1899 (local time).
double HeutigesKopfdatum();

// Reads the header file; nothing when it is missing, shorter than 604 bytes or unreadable. The signature is
// not checked here (see TSammlungskopf::SignaturOk).
std::optional<TSammlungskopf> LeseKopf(const std::string& pfad);

// Writes the header with today's date into the file `pfad`, replacing it atomically: the bytes go to a file
// beside it, are synced and renamed over the old one, so the header on disk is always a whole one, the old
// or the new. Throws std::runtime_error with the reason when that fails; the old file is then untouched.
void SchreibeKopf(const std::string& pfad, TSammlungskopf& kopf);

}  // namespace zanit
