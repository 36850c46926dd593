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

bool LeseDingZeile(std::string_view line, std::vector<ImportEintrag>& out, std::size_t& nichtAbbildbar,
                   bool* zuGross) {
    if (zuGross) *zuGross = false;
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
    // Every German synonym pairs with every English one of its sub-entry: what that makes is counted
    // before anything is made, so that a line built to multiply is refused without being expanded.
    std::vector<std::vector<std::string_view>> deSyn(german.size()), enSyn(german.size());
    std::size_t paare = 0, bytes = 0;
    for (std::size_t p = 0; p < german.size(); ++p) {
        deSyn[p] = TrenneAufObersterEbene(german[p], "; ");
        enSyn[p] = TrenneAufObersterEbene(english[p], "; ");
        std::size_t deBytes = 0, enBytes = 0;
        for (std::string_view s : deSyn[p]) deBytes += s.size();
        for (std::string_view s : enSyn[p]) enBytes += s.size();
        paare += deSyn[p].size() * enSyn[p].size();
        bytes += deBytes * enSyn[p].size() + enBytes * deSyn[p].size();
        if (paare > kPaareJeZeileMax || bytes > kPaarTextJeZeileMax) {
            if (zuGross) *zuGross = true;
            return false;
        }
    }

    const std::size_t before = out.size();
    std::size_t bad = 0;
    std::vector<Seite> de, en;
    for (std::size_t p = 0; p < german.size(); ++p) {
        de.clear();
        en.clear();
        // "anlaufen; beschlagen {vi}": a tag covers the untagged synonyms before it
        const auto& synonyms = deSyn[p];
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
        for (std::string_view s : enSyn[p]) {
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
    ZeilenLeser leser(in);
    std::vector<ImportEintrag> pairs;
    std::size_t lineNo = 0;
    std::string_view view;
    bool zuLang = false;
    while (leser.Naechste(view, zuLang)) {
        ++lineNo;
        if (fortschritt && lineNo % 4096 == 0) fortschritt(leser.Gelesen());
        if (zuLang) {
            ++bericht.gelesen;
            bericht.zuGross.Merke(lineNo);
            continue;
        }
        if (lineNo == 1 && view.starts_with("\xEF\xBB\xBF")) view.remove_prefix(3);  // byte-order mark
        if (view.ends_with('\r')) view.remove_suffix(1);
        if (TrimmeLeerraum(view).empty() || view.front() == '#') continue;
        ++bericht.gelesen;
        if (HatSteuerzeichen(view)) {
            bericht.steuerzeichen.Merke(lineNo);
            continue;
        }
        pairs.clear();
        bool zuGross = false;
        if (!LeseDingZeile(view, pairs, bericht.nichtAbbildbar, &zuGross)) {
            if (zuGross)
                bericht.zuGross.Merke(lineNo);
            else
                bericht.MerkeFehler(lineNo);
            continue;
        }
        bericht.eintraege += pairs.size();
        for (ImportEintrag& e : pairs) ziel(std::move(e));
    }
    if (fortschritt) fortschritt(leser.Gelesen());
}

}  // namespace zanit
