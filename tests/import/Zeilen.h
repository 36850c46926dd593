#pragma once
// Word list lines built to multiply, shared by the parser and the tool tests.
#include <string>

namespace zanit_test {

// "w0; w1; ... :: v0; v1; ...": n German by n English synonyms, n * n word pairs from one line.
inline std::string Quadrat(int n) {
    std::string de, en;
    for (int i = 0; i < n; ++i) {
        de += (i ? "; w" : "w") + std::to_string(i);
        en += (i ? "; v" : "v") + std::to_string(i);
    }
    return de + " :: " + en;
}

}  // namespace zanit_test
