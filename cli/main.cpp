#include <iostream>

#include "cli/cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Bytes go out as they are: no LF to CR LF translation.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    return quorvel::cli::RunCli(args, std::cout, std::cerr, quorvel::NativeFileSystem());
}
