// Stands in for the programs that the shell starts for a text file and a
// web address in the test's Wine prefix: appends the argument it was given,
// byte for byte, as one line to the log named by its first argument. A
// windows program, not a console one: no console window comes up to take
// the foreground from the program under test.
//   shell_recorder.exe LOG ARGUMENT
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const int argc = __argc;
    char** argv = __argv;
    if (argc < 3) return 2;
    std::FILE* log = std::fopen(argv[1], "ab");
    if (!log) return 1;
    std::string line = argv[2];
    for (int i = 3; i < argc; ++i) line += std::string(" ") + argv[i];
    std::fprintf(log, "%s\n", line.c_str());
    std::fclose(log);
    return 0;
}
