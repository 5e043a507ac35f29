#include "InterruptCleanup.h"

#include "export/TemporaryFiles.h"

#include <csignal>

namespace tarnwick::cli {

namespace {

extern "C" void onInterrupt(int signal)
{
    TemporaryFiles::removeAll();
    // The exit status and the shell's reaction stay those of the signal itself.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void installInterruptCleanup()
{
#ifdef _WIN32
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    std::signal(SIGBREAK, onInterrupt);
#else
    struct sigaction action{};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
#endif
}

} // namespace tarnwick::cli
