#include <iostream>

#include "cli/Render.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return LumawipeCli::Run(args, std::cout, std::cerr);
}
