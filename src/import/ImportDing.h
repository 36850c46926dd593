#pragma once
// Reader of the German-English word list in the Ding format: one entry per line, "German :: English", related
// sub-entries separated by " | " on both sides in the same order, synonyms by "; ", grammar tags in curly
// brackets after a German word ("{m}", "{vt}", "{adj}"), search-only spelling variants in angle brackets.
// Lines starting with "#" are comments.

#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "import/Import.h"

namespace zanit {

// The part-of-speech code of one German synonym from its grammar tags: {v...} 1, {n} {m} {f} {pl} 2,
// {adj} 3, {adv} 4, {pron} 5, {prp} 6, {conj} 7, {num} 8, {art} 9, {interj} 10; an untagged text of several
// words 11; anything else 0. The first tag that names a part of speech decides.
int DingWortart(std::string_view synonym);

// The display text of a synonym: curly grammar tags and angle-bracket variants dropped, round and square
// brackets kept, blanks tidied (still UTF-8).
std::string DingAnzeigetext(std::string_view synonym);

// Turns one data line into word pairs: every German synonym of a sub-entry with every English synonym of the
// same sub-entry. An untagged synonym takes the part of speech of the next tagged synonym of its sub-entry
// ("anlaufen; beschlagen {vi}": both verbs). Returns false, adding nothing, when the line is malformed (no single " :: ", sub-entry
// counts that differ, nothing to pair), and also when the line would give more than kPaareJeZeileMax pairs or
// kPaarTextJeZeileMax bytes of text (then `*zuGross` is set; nothing was expanded). Characters Windows-1252
// cannot hold are added to `nichtAbbildbar`.
bool LeseDingZeile(std::string_view line, std::vector<ImportEintrag>& out, std::size_t& nichtAbbildbar,
                   bool* zuGross = nullptr);

// Reads a whole list. Comment and blank lines are skipped; malformed lines, lines over the limits of one
// line and lines holding control characters are skipped and counted in `bericht`, never fatal.
// `fortschritt`, when given, hears the number of bytes read now and then.
void LeseDing(std::istream& in, const std::function<void(ImportEintrag&&)>& ziel, ImportBericht& bericht,
              const std::function<void(std::uint64_t)>& fortschritt = {});

}  // namespace zanit
