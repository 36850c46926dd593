#include "import/ImportDing.h"

#include <algorithm>

namespace zanit {
namespace {

// The code a single grammar tag names, or -1 when it names no part of speech ("{+Gen.}", "{sing}").
int TagWortart(std::string_view tag) {
    tag = TrimmeLeerraum(tag);
    // "{m,f}", "{n,pl}", "{pron interrog}": the first item decides
    const std::size_t cut = tag.find_first_of(", ");
    const std::string_view first = tag.substr(0, cut);
    if (first.empty()) return -1;
    if (first.front() == 'v') return 1;
    if (first == "n" || first == "m" || first == "f" || first == "pl") return 2;
    if (first == "adj") return 3;
    if (first == "adv") return 4;
    if (first == "pron" || (first.size() > 4 && first.ends_with("pron"))) return 5;  // ppron, relativ.pron
    if (first == "prp") return 6;
    if (first == "conj") return 7;
    if (first == "num") return 8;
    if (first == "art") return 9;
    if (first == "interj") return 10;
    return -1;
}

// The data line split at every " | ", empty positions kept so both sides stay aligned.
std::vector<std::string_view> Positionen(std::string_view side) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t pos = side.find(" | ", start);
        if (pos == std::string_view::npos) {
            parts.push_back(side.substr(start));
            return parts;
        }
        parts.push_back(side.substr(start, pos - start));
        start = pos + 3;
    }
}

// The code of the first part-of-speech tag; 0 when there are tags but none names one; -1 without tags.
int GetaggteWortart(std::string_view synonym) {
    bool tagged = false;
    std::size_t pos = 0;
    while ((pos = synonym.find('{', pos)) != std::string_view::npos) {
        const std::size_t end = synonym.find('}', pos + 1);
        if (end == std::string_view::npos) break;
        tagged = true;
        const int code = TagWortart(synonym.substr(pos + 1, end - pos - 1));
        if (code >= 0) return code;
        pos = end + 1;
    }
    return tagged ? 0 : -1;
}

int UngetaggteWortart(std::string_view synonym) { return HatMehrereWoerter(synonym) ? 11 : 0; }

}  // namespace

int DingWortart(std::string_view synonym) {
    const int code = GetaggteWortart(synonym);
    return code >= 0 ? code : UngetaggteWortart(synonym);
}

std::string DingAnzeigetext(std::string_view synonym) {
    return BereinigeLeerraum(EntferneKlammerteile(EntferneKlammerteile(synonym, '{', '}'), '<', '>'));
}

bool LeseDingZeile(std::string_view line, std::vector<ImportEintrag>& out, std::size_t& nichtAbbildbar) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    const std::size_t sep = line.find(" :: ");
    if (sep == std::string_view::npos || line.find(" :: ", sep + 4) != std::string_view::npos) return false;
    const auto german = Positionen(line.substr(0, sep));
    const auto english = Positionen(line.substr(sep + 4));
    if (german.size() != english.size()) return false;

    struct Seite {
        std::string text;
        int wa;
    };
    const std::size_t before = out.size();
    std::size_t bad = 0;
    std::vector<Seite> de, en;
    for (std::size_t p = 0; p < german.size(); ++p) {
        de.clear();
        en.clear();
        // "anlaufen; beschlagen {vi}": a tag covers the untagged synonyms before it
        const auto synonyms = TrenneAufObersterEbene(german[p], "; ");
        int carried = -1;
        for (std::size_t i = synonyms.size(); i-- > 0;) {
            int code = GetaggteWortart(synonyms[i]);
            if (code >= 0)
                carried = code;
            else
                code = carried >= 0 ? carried : UngetaggteWortart(synonyms[i]);
            std::string text = DingAnzeigetext(synonyms[i]);
            if (!text.empty()) de.push_back({NachCp1252(text, bad), code});
        }
        std::reverse(de.begin(), de.end());
        for (std::string_view s : TrenneAufObersterEbene(english[p], "; ")) {
            std::string text = DingAnzeigetext(s);
            if (!text.empty()) en.push_back({NachCp1252(text, bad), 0});
        }
        for (const Seite& d : de)
            for (const Seite& e : en) out.push_back({d.text, e.text, d.wa});
    }
    if (out.size() == before) return false;
    nichtAbbildbar += bad;
    return true;
}

void LeseDing(std::istream& in, const std::function<void(ImportEintrag&&)>& ziel, ImportBericht& bericht,
              const std::function<void(std::uint64_t)>& fortschritt) {
    std::string line;
    std::vector<ImportEintrag> pairs;
    std::uint64_t bytes = 0;
    std::size_t lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        bytes += line.size() + 1;
        std::string_view view = line;
        if (lineNo == 1 && view.starts_with("\xEF\xBB\xBF")) view.remove_prefix(3);  // byte-order mark
        if (fortschritt && lineNo % 4096 == 0) fortschritt(bytes);
        if (TrimmeLeerraum(view).empty() || view.front() == '#') continue;
        ++bericht.gelesen;
        pairs.clear();
        if (!LeseDingZeile(view, pairs, bericht.nichtAbbildbar)) {
            bericht.MerkeFehler(lineNo);
            continue;
        }
        bericht.eintraege += pairs.size();
        for (ImportEintrag& e : pairs) ziel(std::move(e));
    }
    if (fortschritt) fortschritt(bytes);
}

}  // namespace zanit
