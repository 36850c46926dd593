#include "base/Log.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>


namespace zanit {
namespace {

constexpr std::string_view kKopf = "zanit WB - Fehlerprotokoll";
constexpr std::string_view kEintrag = "#";  // an entry line starts with "#<number> "

std::string Zeitstempel(std::time_t when) {
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &when);
#else
    localtime_r(&when, &tm);
#endif
    std::array<char, 32> buf{};
    std::strftime(buf.data(), buf.size(), "%d.%m.%Y %H:%M:%S", &tm);
    return buf.data();
}

}  // namespace

int LetzteLaufnummer(std::string_view text) {
    int last = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        if (line.starts_with(kEintrag)) {
            int n = 0;
            std::size_t i = kEintrag.size();
            bool digits = false;
            while (i < line.size() && line[i] >= '0' && line[i] <= '9' && n < 100000000) {
                n = n * 10 + (line[i] - '0');
                ++i;
                digits = true;
            }
            if (digits && n > last) last = n;
        }
        pos = end + 1;
    }
    return last;
}

int LogEintragSchreiben(const std::string& folder, std::string_view kind, std::string_view message,
                        std::time_t when) {
    try {
        const std::filesystem::path file = std::filesystem::path(folder) / kLogDateiname;
        std::string old;
        {
            std::ifstream in(file, std::ios::binary);
            if (in) {
                std::ostringstream ss;
                ss << in.rdbuf();
                old = ss.str();
            }
        }
        const int number = LetzteLaufnummer(old) + 1;
        std::ofstream out(file, std::ios::binary | std::ios::app);
        if (!out) return 0;
        if (old.empty()) out << kKopf << "\n";
        out << kEintrag << number << " " << Zeitstempel(when) << " " << kind << "\n";
        // Indent the message so that a line of it can never look like an entry line.
        std::size_t pos = 0;
        while (pos <= message.size()) {
            std::size_t end = message.find('\n', pos);
            if (end == std::string_view::npos) end = message.size();
            out << "  " << message.substr(pos, end - pos) << "\n";
            pos = end + 1;
        }
        out.flush();
        return out ? number : 0;
    } catch (...) {
        return 0;
    }
}

}  // namespace zanit
