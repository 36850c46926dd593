#pragma once
// Test helpers around Debian's sox: test signals and sox's own encodings and decodings of them, in a private
// temporary folder. A missing sox fails the test that needs it.

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zanit::test {

class Soxordner {
public:
    Soxordner() {
        std::string muster = (std::filesystem::temp_directory_path() / "zanit-sox-XXXXXX").string();
        if (!mkdtemp(muster.data())) throw std::runtime_error("mkdtemp failed");
        ordner_ = muster;
    }
    ~Soxordner() {
        std::error_code e;
        std::filesystem::remove_all(ordner_, e);
    }
    std::string Pfad(const std::string& name) const { return (ordner_ / name).string(); }

    // Runs sox with the arguments (file names relative to the folder); throws when it fails.
    void Sox(const std::string& argumente) const {
        const std::string befehl = "cd '" + ordner_.string() + "' && sox " + argumente + " 2>sox.err";
        if (std::system(befehl.c_str()) != 0) throw std::runtime_error("sox failed: " + argumente + ": " + Lies("sox.err"));
    }
    std::string Lies(const std::string& name) const {
        std::ifstream f(Pfad(name), std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    void Schreibe(const std::string& name, const std::string& inhalt) const {
        std::ofstream(Pfad(name), std::ios::binary) << inhalt;
    }
    // sox's decoding of a file as signed 16-bit samples.
    std::vector<std::int16_t> Dekodiert(const std::string& name) const {
        Sox("'" + name + "' -t raw -e signed -b 16 -L dekodiert.raw");
        const std::string roh = Lies("dekodiert.raw");
        std::vector<std::int16_t> s(roh.size() / 2);
        for (std::size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<std::int16_t>(static_cast<unsigned char>(roh[2 * i]) |
                                             (static_cast<unsigned char>(roh[2 * i + 1]) << 8));
        return s;
    }

private:
    std::filesystem::path ordner_;
};

}  // namespace zanit::test
