// Random real input for the window: keys, clicks, double-clicks and drags
// at random points of whichever of the program's windows is in front
// (main window, column dialog, message windows, the open dialog), and
// typed names of good, bad, missing, binary, empty and huge files. It
// counts crashes (the program ends with a non-zero code) and hangs (it
// does not answer within 20 s, or does not end within 20 s of Esc, Esc,
// Esc, Ctrl+Q), and logs every action, so that a run replays from its seed.
//   quorvel_random_input.exe QUORVEL.exe FOLDER SEED SECONDS
// FOLDER holds the files to open; the program runs in a prefix whose only
// drives are its own C: and a scratch D:, so nothing it does reaches other
// files. No right clicks and no Delete key: nothing is deleted.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iterator>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "session.h"
#include "window_driver.h"

namespace quorvel::e2e {
namespace {

struct Figures {
    long actions = 0;
    int starts = 0;
    int crashes = 0;
    int hangs = 0;
};

std::FILE* logFile = nullptr;

void Log(long step, const std::string& what)
{
    std::fprintf(logFile, "%ld %s\n", step, what.c_str());
    std::fflush(logFile);
}

// The program's visible top-level windows, the foreground one first.
std::vector<HWND> ProgramWindows(DWORD processId)
{
    std::vector<HWND> windows;
    struct Search {
        DWORD processId;
        std::vector<HWND>* windows;
    } search{processId, &windows};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId && IsWindowVisible(window)) s->windows->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    const HWND front = GetForegroundWindow();
    for (size_t i = 0; i < windows.size(); ++i)
        if (windows[i] == front) std::swap(windows[0], windows[i]);
    return windows;
}

// Keys a person presses; never Delete, and no key that leaves the program
// (Alt+F4 and Ctrl+Q come only at the end of a round).
// F1 and the guide's menu item are left out too: they start another
// program (the text editor), which the input would then go to.
const WORD kKeys[] = {VK_TAB,  VK_RETURN, VK_ESCAPE, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_HOME, VK_END,
                      VK_PRIOR, VK_NEXT,  VK_SPACE,  VK_BACK, 'A',   'K',     'S',      '1',     '5',    VK_F10};

// Short names only: Wine's own open dialog overflows its stack when a typed
// name makes a full path longer than 260 characters (a plain test program
// crashes the same way), so no name here comes near that.
const char* const kNames[] = {"good.csv", "utf8.csv", "bad.csv", "missing.csv", "binary.bin", "empty.csv",
                              "huge.csv", "quoted.csv", "D:\\", "..", "*.csv", "good"};

class Round {
public:
    Round(Session& session, std::mt19937& random, Figures& figures)
        : s_(session), random_(random), figures_(figures)
    {
    }

    // One action; false when the program has ended.
    bool Act(long step)
    {
        const std::vector<HWND> windows = ProgramWindows(s_.ProcessId());
        if (windows.empty()) return WaitForSingleObject(s_.Process(), 0) == WAIT_TIMEOUT;
        // Mostly the window in front, as a person works; now and then another.
        const HWND target = windows[Pick(4) == 0 ? Pick(windows.size()) : 0];
        // Keys go to the foreground window: the program's, as a click on it
        // makes it so.
        if (!IsProgramWindow(GetForegroundWindow())) WaitForeground(windows[0], 2);
        const std::string cls = ClassOf(target);
        switch (Pick(10)) {
        case 0:
        case 1:
        case 2: {
            const WORD key = kKeys[Pick(std::size(kKeys))];
            Log(step, "key " + std::to_string(key) + " to " + cls);
            PressKey(key);
            break;
        }
        case 3: {
            const char menu = "FRH"[Pick(3)];
            const char item = "OCSIL"[Pick(5)];
            Log(step, std::string("Alt+") + menu + " " + item);
            PressKeys({VK_MENU}, static_cast<WORD>(menu));
            Sleep(60);
            PressKey(static_cast<WORD>(item));
            break;
        }
        case 4: {
            Log(step, "Ctrl+O");
            PressKeys({VK_CONTROL}, 'O');
            break;
        }
        case 5: {
            const std::string name = kNames[Pick(std::size(kNames))];
            Log(step, "type " + name + " and Enter into " + cls);
            TypeText(Wide(name), 5);
            PressKey(VK_RETURN);
            break;
        }
        case 6:
        case 7: {
            const POINT at = RandomPoint(target);
            const bool twice = Pick(4) == 0;
            Log(step, std::string(twice ? "double-click " : "click ") + std::to_string(at.x) + "," +
                          std::to_string(at.y) + " in " + cls);
            MoveMouse(at);
            Click(at);
            if (twice) Click(at);
            break;
        }
        case 8: {
            const POINT from = RandomPoint(target), to = RandomPoint(target);
            Log(step, "drag " + std::to_string(from.x) + "," + std::to_string(from.y) + " to " +
                          std::to_string(to.x) + "," + std::to_string(to.y) + " in " + cls);
            Drag(from, to, 4);
            break;
        }
        default: {
            Log(step, "Ctrl+C to " + cls);
            PressKeys({VK_CONTROL}, 'C');
            break;
        }
        }
        ++figures_.actions;
        return true;
    }

    // As a person starts: Ctrl+O and a name from the list, so that most
    // rounds work on a table (the over-the-cap file a preview).
    void OpenSomeFile(long step)
    {
        const std::string name = kNames[Pick(std::size(kNames))];
        Log(step, "start with Ctrl+O, " + name + " and Enter");
        if (!ProgramWindows(s_.ProcessId()).empty()) WaitForeground(ProgramWindows(s_.ProcessId())[0], 2);
        PressKeys({VK_CONTROL}, 'O');
        s_.WaitWindow("#32770", 5);
        TypeText(Wide(name), 5);
        PressKey(VK_RETURN);
        ++figures_.actions;
    }

    // Whether the front window answers within 20 s.
    bool Answers()
    {
        const std::vector<HWND> windows = ProgramWindows(s_.ProcessId());
        if (windows.empty()) return true;
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(windows[0], WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 20000, &result) != 0;
    }

private:
    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

    bool IsProgramWindow(HWND window) const
    {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return window && owner == s_.ProcessId();
    }

    POINT RandomPoint(HWND window)
    {
        RECT r;
        GetWindowRect(window, &r);
        const int width = std::max<int>(1, r.right - r.left), height = std::max<int>(1, r.bottom - r.top);
        POINT p{r.left + static_cast<int>(Pick(static_cast<size_t>(width))),
                r.top + static_cast<int>(Pick(static_cast<size_t>(height)))};
        // Within the screen, where the pointer can go.
        p.x = std::clamp<int>(p.x, 0, GetSystemMetrics(SM_CXSCREEN) - 1);
        p.y = std::clamp<int>(p.y, 0, GetSystemMetrics(SM_CYSCREEN) - 1);
        return p;
    }

    Session& s_;
    std::mt19937& random_;
    Figures& figures_;
};

// Esc, Esc, Esc, Ctrl+Q: the program must end within 20 s, with code 0.
void EndRound(Session& s, long step, Figures& figures)
{
    Log(step, "end: Esc Esc Esc Ctrl+Q");
    for (int i = 0; i < 3; ++i) {
        PressKey(VK_ESCAPE);
        Sleep(150);
    }
    if (!ProgramWindows(s.ProcessId()).empty()) WaitForeground(ProgramWindows(s.ProcessId())[0], 2);
    PressKeys({VK_CONTROL}, 'Q');
    const DWORD code = s.WaitExit(20);
    if (code == STILL_ACTIVE) {
        ++figures.hangs;
        Log(step, "HANG: still running 20 s after Esc Esc Esc Ctrl+Q");
        SaveScreen("hang_" + std::to_string(step) + ".bmp");
    } else if (code != 0) {
        ++figures.crashes;
        Log(step, "CRASH: ended with code " + std::to_string(code));
    }
}

int Run(const std::string& exe, const std::string& folder, unsigned seed, double seconds)
{
    SetCurrentDirectoryA(folder.c_str());
    logFile = std::fopen("random_input.log", "w");
    if (!logFile) return 2;
    std::mt19937 random(seed);
    Figures figures;
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    long step = 0;
    while (elapsed() < seconds) {
        Session s(exe);
        ++figures.starts;
        Log(step, "start " + std::to_string(figures.starts));
        Round round(s, random, figures);
        round.OpenSomeFile(step++);
        // A round of up to 150 actions, then the end that must work.
        bool ended = false;
        for (int i = 0; i < 150 && elapsed() < seconds; ++i, ++step) {
            if (!round.Act(step)) {
                const DWORD code = s.WaitExit(5);
                if (code != 0) {
                    ++figures.crashes;
                    Log(step, "CRASH: ended with code " + std::to_string(code));
                }
                ended = true;
                break;
            }
            Sleep(40);
            if (i % 10 == 9 && !round.Answers()) {
                ++figures.hangs;
                Log(step, "HANG: no answer within 20 s");
                SaveScreen("hang_" + std::to_string(step) + ".bmp");
                ended = true;
                break;
            }
        }
        if (!ended) EndRound(s, step, figures);
    }
    std::printf("random input, seed %u: %ld actions in %.0f s, %d starts, %d crashes, %d hangs\n", seed,
                figures.actions, elapsed(), figures.starts, figures.crashes, figures.hangs);
    std::fprintf(logFile, "seed %u: %ld actions, %d starts, %d crashes, %d hangs\n", seed, figures.actions,
                 figures.starts, figures.crashes, figures.hangs);
    std::fclose(logFile);
    return figures.crashes + figures.hangs == 0 ? 0 : 1;
}

}  // namespace
}  // namespace quorvel::e2e

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: quorvel_random_input QUORVEL.exe FOLDER SEED SECONDS\n");
        return 2;
    }
    return quorvel::e2e::Run(argv[1], argv[2], static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)),
                             std::atof(argv[4]));
}
