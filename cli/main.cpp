#include <csignal>
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/Render.h"

int main(int argc, char** argv) {
#ifdef _WIN32
    // Frames written to standard output are bytes: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
#else
    // A reader that closes the pipe fails the next write (EPIPE), which the command
    // reports, instead of killing the process.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    return LumawipeCli::Run(args, std::cout, std::cerr);
}
