#include "cli/CliApp.h"

#include <iostream>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    tarnwick::cli::CliApp app(std::cout, std::cerr);
    app.setStderrIsTerminal(isatty(STDERR_FILENO) != 0);
    return app.run(argc, argv);
}
