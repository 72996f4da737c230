#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "cli/cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

std::atomic<bool> interrupted{false};
std::atomic<bool> listening{false};

// While a split listens, the first Ctrl+C asks it to stop after its last
// whole row and a second one ends the program at once; otherwise the
// first one does.
extern "C" void OnInterrupt(int)
{
    std::signal(SIGINT, SIG_DFL);
    if (listening.load()) interrupted.store(true);
    else std::raise(SIGINT);
}

bool StderrIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Bytes go out as they are: no LF to CR LF translation.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);
    static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
    std::signal(SIGINT, OnInterrupt);
    quorvel::cli::Console console;
    console.showProgress = StderrIsTerminal();
    console.interrupted = &interrupted;
    console.listening = &listening;
    std::vector<std::string> args(argv + 1, argv + argc);
    return quorvel::cli::RunCli(args, std::cout, std::cerr, quorvel::NativeFileSystem(), console);
}
