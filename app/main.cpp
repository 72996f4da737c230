// The program's entry point; start-up itself lives with the windows.
#include <windows.h>

#include "ui/start_up.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    return quorvel::ui::RunQuorvel(instance, showCommand);
}
