// Arbitrary bytes as the header file of a collection whose tables are sound: selecting it, listing its
// lessons and adding one never fails or reads out of bounds, and a header that names files outside the
// collection folder is never taken.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "trainer/Sammlungsbau.h"
#include "trainer/Uebertragung.h"

namespace {

const std::string& Ordner() {
    static const std::string ordner = [] {
        std::string muster = (std::filesystem::temp_directory_path() / "fuzz-voc-XXXXXX").string();
        if (!mkdtemp(muster.data())) std::abort();
        zanit::TNeueSammlung s;
        s.datei = "FUZZ";
        s.sprache = "Englisch";
        s.lektionen = {"Eins", "Zwei", "Drei"};
        zanit::LegeSammlungAn(muster, s);
        return muster + "/";
    }();
    return ordner;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& ordner = Ordner();
    {
        std::ofstream f(ordner + "FUZZ.lvh", std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    zanit::TSammlung s;
    try {
        s.Waehlen(ordner, "FUZZ");
    } catch (const std::exception&) {
        return 0;  // a lesson table named by the header that is not a table
    }
    if (!s.gueltig) return 0;
    if (!zanit::SichererDateiname(s.kopf.Basisname()) || s.kopf.Basisname().size() > 49) std::abort();
    if (s.liste.size() > static_cast<std::size_t>(zanit::kMaxLektionen)) std::abort();
    (void)s.kopf.GeschuetztGegenUns();
    (void)s.kopf.Aenderungsdatum();
    const int nr = s.NeueLektion("Neu");
    if (nr < 0 || nr > zanit::kMaxLektionen) std::abort();
    (void)zanit::FreieLektionsnummer(s.kopf.Lektionszahl(), s.plaetze);
    return 0;
}
