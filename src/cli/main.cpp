#include "cli/CliApp.h"
#include "cli/InterruptCleanup.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <unistd.h>
#endif

namespace {

// The arguments as UTF-8. Windows hands char** in the ANSI code page, which cannot carry
// every file name; its wide command line can.
std::vector<std::string> arguments(int argc, char **argv)
{
    std::vector<std::string> args;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide && i < count; ++i) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(bytes > 0 ? bytes - 1 : 0), '\0');
        if (bytes > 1)
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), bytes, nullptr, nullptr);
        args.push_back(std::move(arg));
    }
    LocalFree(wide);
#else
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
#endif
    return args;
}

bool stderrIsTerminal()
{
#ifdef _WIN32
    return _isatty(2) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

} // namespace

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    tarnwick::cli::installInterruptCleanup();
    tarnwick::cli::CliApp app(std::cout, std::cerr);
    app.setStderrIsTerminal(stderrIsTerminal());
    return app.run(arguments(argc, argv));
}
