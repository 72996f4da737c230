// Start-up: the application object, the main window first (so that it is
// the application's main window), the column choice dialog hidden, then
// the event loop until the main window closes.
#include <windows.h>
#include <commctrl.h>

#include "ui/Dialogwindow1.h"
#include "ui/Mainwindow1.h"
#include "ui/application.h"
#include "ui/ui_texts.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    using namespace quorvel::ui;
    Application& application = Application::Instance();
    try {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS |
                                                           ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        application.SetTitle(text::kAppTitle);

        TMainForm1 mainForm1(instance);
        mainForm1.Create();
        TDialogForm1 dialogForm1;
        dialogForm1.Create(instance, mainForm1.Window(), mainForm1.Font(), mainForm1.Scale());
        mainForm1.SetDialog(&dialogForm1);

        application.SetMainWindow(mainForm1.Window(), mainForm1.Accelerators());
        application.SetIdleHandler([&] { mainForm1.OnIdle(); });
        mainForm1.Show(showCommand);
        application.Run();
    } catch (...) {
        // A failure of start-up or of the loop itself: shown, then the end.
        application.ShowCurrentException();
    }
    return 0;
}
