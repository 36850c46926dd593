#include "import/ImportFreeDict.h"

#include <set>
#include <unordered_set>
#include <utility>

namespace zanit {
namespace {

int DictdZiffer(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool IstMetaArtikel(std::string_view headword) {
    return headword.starts_with("00-database-") || headword.starts_with("00database");
}

// "12. text" -> 12 and the text; nothing when the line does not start with a sense number.
std::optional<std::pair<int, std::string_view>> Sinnnummer(std::string_view line) {
    std::size_t i = 0;
    int n = 0;
    while (i < line.size() && i < 4 && line[i] >= '0' && line[i] <= '9') n = n * 10 + (line[i++] - '0');
    if (i == 0 || i + 1 >= line.size() || line[i] != '.' || line[i + 1] != ' ') return std::nullopt;
    return std::make_pair(n, line.substr(i + 2));
}

// A sense line may end with the number of its first explanation ("aller, marcher 2.").
std::string_view OhneNachgestellteNummer(std::string_view line) {
    line = TrimmeLeerraum(line);
    if (line.empty() || line.back() != '.') return line;
    std::size_t i = line.size() - 1;
    while (i > 0 && line[i - 1] >= '0' && line[i - 1] <= '9') --i;
    if (i == line.size() - 1 || i == 0 || line[i - 1] != ' ') return line;
    return TrimmeLeerraum(line.substr(0, i - 1));
}

// Where a "/.../", "<...>" or "(...)" part that starts at `pos` ends (the closing character), npos when open.
std::size_t Teilende(std::string_view line, std::size_t pos) {
    const char open = line[pos];
    if (open == '/') return line.find('/', pos + 1);
    if (open == '<') return line.find('>', pos + 1);
    int depth = 0;
    for (std::size_t i = pos; i < line.size(); ++i) {
        if (line[i] == '/' || line[i] == '<') {  // pronunciations may hold parentheses
            i = Teilende(line, i);
            if (i == std::string_view::npos) return i;
        } else if (line[i] == '(') {
            ++depth;
        } else if (line[i] == ')' && --depth == 0) {
            return i;
        }
    }
    return std::string_view::npos;
}

// The inflected forms of a "(...)" part: each item up to its pronunciation or tag.
void LeseFormen(std::string_view group, std::vector<std::string>& formen) {
    std::string plain;
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (group[i] == '/' || group[i] == '<') {
            const std::size_t end = Teilende(group, i);
            if (end == std::string_view::npos) break;
            i = end;
            continue;
        }
        plain += group[i];
    }
    for (std::string_view form : TrenneText(plain, ",")) formen.emplace_back(form);
}

void LeseKopfzeile(std::string_view line, FreeDictArtikel& artikel) {
    std::size_t cut = std::string_view::npos;
    for (std::string_view mark : {" /", " (", " <"}) cut = std::min(cut, line.find(mark));
    if (!line.empty() && (line[0] == '/' || line[0] == '(' || line[0] == '<')) cut = 0;
    artikel.kopfwort = std::string(TrimmeLeerraum(line.substr(0, cut)));
    for (std::size_t i = cut; i < line.size(); ++i) {
        const char c = line[i];
        if (c != '/' && c != '<' && c != '(') continue;
        const std::size_t end = Teilende(line, i);
        if (end == std::string_view::npos) return;
        const std::string_view inner = line.substr(i + 1, end - i - 1);
        if (c == '<') artikel.wortartangabe = std::string(TrimmeLeerraum(inner));
        if (c == '(') LeseFormen(inner, artikel.formen);
        i = end;
    }
}

// Adds the translations of one line that the article does not have yet; `bekannt` holds those it has (views
// into the article's text), so that an article of many translations is read in linear time.
void NimmUebersetzungen(std::string_view line, FreeDictArtikel& artikel,
                        std::unordered_set<std::string_view>& bekannt) {
    for (std::string_view t : TrenneAufObersterEbene(line, ", "))
        if (bekannt.insert(t).second) artikel.uebersetzungen.emplace_back(t);
}

// Control characters other than the line breaks (LF or CR LF) and tab that articles are made of. A carriage
// return inside a line would reach the stored words.
bool ArtikelHatSteuerzeichen(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto u = static_cast<unsigned char>(text[i]);
        if (u == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if ((u < 0x20 && u != '\t' && u != '\n') || u == 0x7F) return true;
    }
    return false;
}

// Whether the pairs of an article stay within the limits of one source line.
bool PasstInGrenzen(const FreeDictArtikel& artikel) {
    const std::size_t n = artikel.uebersetzungen.size();
    if (n > kPaareJeZeileMax) return false;
    std::size_t kopf = artikel.kopfwort.size(), bytes = 0;
    for (const std::string& f : artikel.formen) kopf += f.size() + 1;
    for (const std::string& t : artikel.uebersetzungen) bytes += t.size() + kopf;
    return bytes <= kPaarTextJeZeileMax;
}

}  // namespace

std::optional<std::uint64_t> DictdZahl(std::string_view digits) {
    if (digits.empty() || digits.size() > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const int d = DictdZiffer(c);
        if (d < 0) return std::nullopt;
        value = value * 64 + static_cast<std::uint64_t>(d);
    }
    return value;
}

std::vector<DictdVerweis> LeseDictdIndex(std::istream& in, ImportBericht& bericht) {
    std::vector<DictdVerweis> index;
    ZeilenLeser leser(in);
    std::string_view line;
    bool zuLang = false;
    std::size_t lineNo = 0;
    while (leser.Naechste(line, zuLang)) {
        ++lineNo;
        if (zuLang) {
            bericht.zuGross.Merke(lineNo);
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        const std::vector<std::string_view> fields = [&] {
            std::vector<std::string_view> f;
            std::string_view rest = line;
            for (std::size_t tab; (tab = rest.find('\t')) != std::string_view::npos; rest.remove_prefix(tab + 1))
                f.push_back(rest.substr(0, tab));
            f.push_back(rest);
            return f;
        }();
        // a fourth field (the original spelling of the headword) may follow
        const auto offset = fields.size() >= 3 ? DictdZahl(fields[1]) : std::nullopt;
        const auto length = fields.size() >= 3 ? DictdZahl(fields[2]) : std::nullopt;
        if (fields.size() > 4 || !offset || !length) {
            bericht.MerkeFehler(lineNo);
            continue;
        }
        if (IstMetaArtikel(fields[0])) continue;
        index.push_back({std::string(fields[0]), *offset, *length});
    }
    return index;
}

bool LeseFreeDictArtikel(std::string_view text, FreeDictArtikel& artikel) {
    artikel = {};
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!TrimmeLeerraum(line).empty()) lines.push_back(line);
        start = end + 1;
    }
    if (lines.empty()) return false;
    LeseKopfzeile(TrimmeLeerraum(lines[0]), artikel);
    if (artikel.kopfwort.empty() || lines.size() < 2) return false;

    std::unordered_set<std::string_view> bekannt;
    const auto first = Sinnnummer(lines[1]);
    if (first && first->first == 1) {
        // numbered senses: "1. ...", "2. ..." in order; other lines explain the senses
        int next = 1;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const auto sense = Sinnnummer(lines[i]);
            if (!sense || sense->first != next) continue;
            ++next;
            NimmUebersetzungen(OhneNachgestellteNummer(sense->second), artikel, bekannt);
        }
    } else {
        NimmUebersetzungen(TrimmeLeerraum(lines[1]), artikel, bekannt);
    }
    return !artikel.uebersetzungen.empty();
}

int FreeDictWortart(std::string_view angabe) {
    for (std::string_view item : TrenneText(angabe, ",")) {
        if (item == "v") return 1;
        if (item == "n" || item == "pn") return 2;
        if (item == "adj") return 3;
        if (item == "adv" || item == "Adverb" || item == "pronominalAdverb") return 4;
        if (item == "pron" || item.ends_with("Pronoun")) return 5;
        if (item == "prep" || item == "preposition" || item == "postposition") return 6;
        if (item == "conj" || item == "conjunction") return 7;
        if (item == "num" || item == "numeral") return 8;
        if (item == "art" || item == "article") return 9;
        if (item == "int" || item == "interj" || item == "interjection") return 10;
    }
    return 0;
}

void MachFreeDictEintraege(const FreeDictArtikel& artikel, bool tauschen, std::vector<ImportEintrag>& out,
                           std::size_t& nichtAbbildbar) {
    std::string head = artikel.kopfwort;
    for (const std::string& form : artikel.formen) head += "/" + form;
    head = NachCp1252(BereinigeLeerraum(head), nichtAbbildbar);
    const int wa = artikel.wortartangabe.empty() ? (HatMehrereWoerter(artikel.kopfwort) ? 11 : 0)
                                                 : FreeDictWortart(artikel.wortartangabe);
    for (const std::string& t : artikel.uebersetzungen) {
        std::string other = NachCp1252(BereinigeLeerraum(t), nichtAbbildbar);
        if (tauschen)
            out.push_back({std::move(other), head, wa});
        else
            out.push_back({head, std::move(other), wa});
    }
}

void LeseFreeDict(const std::vector<DictdVerweis>& index, std::string_view daten, bool tauschen,
                  const std::function<void(ImportEintrag&&)>& ziel, ImportBericht& bericht,
                  const std::function<void(std::uint64_t, std::uint64_t)>& fortschritt) {
    std::set<std::pair<std::uint64_t, std::uint64_t>> seen;
    std::vector<ImportEintrag> pairs;
    FreeDictArtikel artikel;
    // Articles do not overlap in a sound database; an index whose entries cover the data many times over
    // (each a little different) would make the import read it again and again, so beyond four times the
    // data its articles count as too large.
    const std::uint64_t budget = 4 * std::uint64_t(daten.size()) + kZeileMaxBytes;
    std::uint64_t gelesen = 0;
    for (std::size_t i = 0; i < index.size(); ++i) {
        if (fortschritt && i % 1024 == 0) fortschritt(i, index.size());
        const DictdVerweis& v = index[i];
        if (!seen.insert({v.offset, v.laenge}).second) continue;
        ++bericht.gelesen;
        if (v.offset > daten.size() || v.laenge > daten.size() - v.offset) {
            bericht.MerkeFehler(i + 1);
            continue;
        }
        if (v.laenge > kZeileMaxBytes || gelesen + v.laenge > budget) {
            bericht.zuGross.Merke(i + 1);
            continue;
        }
        gelesen += v.laenge;
        const std::string_view text = daten.substr(v.offset, v.laenge);
        if (ArtikelHatSteuerzeichen(text)) {
            bericht.steuerzeichen.Merke(i + 1);
            continue;
        }
        if (!LeseFreeDictArtikel(text, artikel)) {
            bericht.MerkeFehler(i + 1);
            continue;
        }
        if (!PasstInGrenzen(artikel)) {
            bericht.zuGross.Merke(i + 1);
            continue;
        }
        pairs.clear();
        MachFreeDictEintraege(artikel, tauschen, pairs, bericht.nichtAbbildbar);
        bericht.eintraege += pairs.size();
        for (ImportEintrag& e : pairs) ziel(std::move(e));
    }
    if (fortschritt) fortschritt(index.size(), index.size());
}

}  // namespace zanit
