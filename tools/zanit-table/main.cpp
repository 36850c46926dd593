#include <cstdio>
#include <string>
#include <vector>

#include "zanit-table/Commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return zanit_table::RunTableTool(args, stdout, stderr);
}
