#include "zanit-import/Entpacken.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <stdexcept>

namespace zanit_import {

std::uint64_t EntpackGrenze(std::uint64_t dateigroesse) {
    const std::uint64_t nachVerhaeltnis =
        dateigroesse > kEntpacktHoechstens / kEntpackVerhaeltnis ? kEntpacktHoechstens
                                                                  : dateigroesse * kEntpackVerhaeltnis;
    return std::min(kEntpacktHoechstens, std::max(kEntpacktMindestens, nachVerhaeltnis));
}

std::string LeseDatendatei(const std::string& path, std::uint64_t limit) {
    if (limit == 0) {
        std::error_code ec;
        const std::uint64_t size = std::filesystem::file_size(path, ec);
        if (ec) throw std::runtime_error(path + ": kann nicht geöffnet werden");
        limit = EntpackGrenze(size);
    }
    std::unique_ptr<gzFile_s, int (*)(gzFile)> file(gzopen(path.c_str(), "rb"), gzclose);
    if (!file) throw std::runtime_error(path + ": kann nicht geöffnet werden");
    std::string data;
    char buffer[1 << 16];
    while (true) {
        const int n = gzread(file.get(), buffer, sizeof buffer);
        if (n < 0) {
            int code = 0;
            const char* reason = gzerror(file.get(), &code);
            throw std::runtime_error(path + ": beschädigt (" + (reason ? reason : "?") + ")");
        }
        if (n == 0) break;
        if (data.size() + static_cast<std::uint64_t>(n) > limit)
            throw std::runtime_error(path + ": entpackt größer als " + std::to_string(limit) +
                                     " Bytes (höchstens das " + std::to_string(kEntpackVerhaeltnis) +
                                     "-fache der Datei, mindestens 16 MiB, nie über 1 GiB)");
        data.append(buffer, static_cast<std::size_t>(n));
    }
    // a cut-off stream ends like a complete one; only gzerror tells (Z_BUF_ERROR, "unexpected end of file")
    int code = 0;
    const char* reason = gzerror(file.get(), &code);
    if (code != Z_OK) throw std::runtime_error(path + ": beschädigt (" + (reason ? reason : "?") + ")");
    return data;
}

}  // namespace zanit_import
