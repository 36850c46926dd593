// zanit-voice: voices one side of a dictionary. Every distinct text of the side is spoken by the speech
// synthesizer, stored IMA ADPCM-coded in a new sound table, and its number written into WW1/WW2.
//   zanit-voice DICTIONARY.DBF --side 1|2 --voice NAME --out SOUND.DBF [--limit N] [--single-words]
//               [--start N] [--password TEXT]
#include <espeak-ng/speak_lib.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "common/Args.h"
#include "search/Woerterbuchbau.h"
#include "sound/Vertonung.h"
#include "xbase/Codepage.h"
#include "xbase/Table.h"

namespace {

constexpr const char* kUsage =
    "Aufruf: zanit-voice WOERTERBUCH.DBF --side 1|2 --voice NAME --out TON.DBF [--limit N] [--single-words]\n"
    "                   [--start N] [--password TEXT]\n"
    "  --side          die Seite, deren Texte gesprochen werden (1: W1/WW1, 2: W2/WW2)\n"
    "  --voice         Stimme der Sprachsynthese, z. B. de, en, la\n"
    "  --out           die neue Tontabelle (Feld WAVE, Ordnung INR)\n"
    "  --limit         höchstens N Texte, die häufigsten zuerst (Vorgabe: alle)\n"
    "  --single-words  nur Texte aus einem Wort\n"
    "  --start         erste Tonnummer (Vorgabe 1)\n"
    "  --password      Passwort des Wörterbuchs (Vorgabe: das Wörterbuchpasswort)\n";

int Usage(const std::string& problem) { return zanit_tools::UsageFailure(std::cerr, "zanit-voice", problem, kUsage); }

std::vector<short>* g_ziel = nullptr;

int Empfange(short* wav, int anzahl, espeak_EVENT*) {
    if (wav && anzahl > 0 && g_ziel) g_ziel->insert(g_ziel->end(), wav, wav + anzahl);
    return 0;
}

// The synthesized text without the silence the synthesizer puts around it (20 ms are kept).
zanit::PcmAudio Sprich(const std::string& cp1252, int rate) {
    std::vector<short> samples;
    g_ziel = &samples;
    const std::string text = xbase::Cp1252ToUtf8(cp1252);
    espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    g_ziel = nullptr;
    std::size_t anfang = 0, ende = samples.size();
    while (anfang < ende && std::abs(samples[anfang]) < 200) ++anfang;
    while (ende > anfang && std::abs(samples[ende - 1]) < 200) --ende;
    const std::size_t rand = static_cast<std::size_t>(rate / 50);
    anfang = anfang > rand ? anfang - rand : 0;
    ende = std::min(samples.size(), ende + rand);
    zanit::PcmAudio audio{1, rate, {}};
    if (ende > anfang) audio.samples.assign(samples.begin() + static_cast<std::ptrdiff_t>(anfang),
                                            samples.begin() + static_cast<std::ptrdiff_t>(ende));
    return audio;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && zanit_tools::IsHelpRequest(argv[1])) {
        std::cout << kUsage;
        return 0;
    }
    std::string woerterbuch, out, voice, password(zanit::kWoerterbuchPasswort);
    int seite = 0, limit = 0, start = 1;
    bool einzel = false;
    zanit_tools::ArgReader args(argc, argv, 1);
    while (!args.Done()) {
        const std::string arg = args.Next();
        std::string problem;
        if (arg == "--side") {
            problem = zanit_tools::ReadNumber(args, arg, 1, 2, seite);
        } else if (arg == "--limit") {
            problem = zanit_tools::ReadNumber(args, arg, 1, 10000000, limit);
        } else if (arg == "--start") {
            problem = zanit_tools::ReadNumber(args, arg, 1, 2000000000, start);
        } else if (arg == "--voice") {
            if (!args.ValueInto(voice)) problem = "--voice ohne Namen";
        } else if (arg == "--out") {
            if (!args.ValueInto(out)) problem = "--out ohne Pfad";
        } else if (arg == "--password") {
            if (!args.ValueInto(password)) problem = "--password ohne Text";
        } else if (arg == "--single-words") {
            einzel = true;
        } else if (!zanit_tools::IsLongOption(arg) && woerterbuch.empty()) {
            woerterbuch = arg;
        } else {
            problem = "unbekanntes Argument: " + arg;
        }
        if (!problem.empty()) return Usage(problem);
    }
    if (woerterbuch.empty()) return Usage("kein Wörterbuch angegeben");
    if (seite == 0 || voice.empty() || out.empty()) return Usage("--side, --voice und --out sind nötig");

    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) {
        std::cerr << "zanit-voice: die Sprachsynthese ließ sich nicht starten\n";
        return 1;
    }
    espeak_SetSynthCallback(Empfange);
    if (espeak_SetVoiceByName(voice.c_str()) != EE_OK) {
        std::cerr << "zanit-voice: unbekannte Stimme " << voice << "\n";
        return 1;
    }
    zanit::Vertonungsoptionen optionen;
    optionen.passwort = xbase::Utf8ToCp1252(password);
    optionen.start = start;
    optionen.grenze = static_cast<std::size_t>(limit);
    optionen.nurEinzelwoerter = einzel;
    try {
        const zanit::Vertonungsergebnis e = zanit::VertoneWoerterbuch(
            woerterbuch, seite, out, [rate](const std::string& text) { return Sprich(text, rate); }, optionen);
        std::cerr << "zanit-voice: " << e.texte << " Aufnahmen, " << e.datensaetze << " Einträge vertont\n";
    } catch (const xbase::TableError& e) {
        std::cerr << "zanit-voice: " << e.what() << "\n";
        espeak_Terminate();
        return 1;
    }
    espeak_Terminate();
    return 0;
}
