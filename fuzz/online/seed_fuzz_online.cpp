// Writes the seed corpus of fuzz_online into a folder: sound archives (picture and area list, a sub-folder,
// an empty file) and area lists with the awkward lines.
#include <cstdio>
#include <fstream>
#include <string>

#include "online/Infoarchiv.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seed_fuzz_online FOLDER\n");
        return 2;
    }
    int n = 0;
    auto schreibe = [&](const std::string& bytes) {
        std::ofstream(std::string(argv[1]) + "/seed" + std::to_string(n++), std::ios::binary) << bytes;
    };
    const std::string bereiche = "10,20,100,30,http://example.org/a,b,c\n 1 , 2 ,x,4, mailto:a@b\r\n1,2,3,\n";
    schreibe(bereiche);
    schreibe(zanit::SchreibeInfoarchiv({{"INFO_W.JPG", std::string(300, '\xff')}, {"INFO_W.DAT", bereiche}}));
    schreibe(zanit::SchreibeInfoarchiv({{"neu/bilder/a.png", "PNG"}, {"leer", ""}}));
    schreibe(zanit::SchreibeInfoarchiv({}));
    return 0;
}
