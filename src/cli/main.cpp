#include "cli/CliApp.h"

#include <iostream>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    return tarnwick::cli::CliApp(std::cout, std::cerr).run(argc, argv);
}
