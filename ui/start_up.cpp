#include "ui/start_up.h"

#include <commctrl.h>

#include "ui/Dialogwindow1.h"
#include "ui/Mainwindow1.h"
#include "ui/application.h"
#include "ui/ui_texts.h"

namespace quorvel::ui {

int RunQuorvel(HINSTANCE instance, int showCommand)
{
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
        application.SetIdleHandler(nullptr);
        application.SetMainWindow(nullptr, nullptr);
    } catch (...) {
        // A failure of start-up or of the loop itself (a window that cannot
        // be created): shown, then the end.
        application.SetIdleHandler(nullptr);
        application.SetMainWindow(nullptr, nullptr);
        application.ShowCurrentException();
    }
    return 0;
}

}  // namespace quorvel::ui
