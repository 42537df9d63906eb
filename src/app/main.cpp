// Process entry: the application object, the settings window created hidden
// as the main window, the message loop; at exit the window and everything it
// owns go in reverse order of creation.
#include <windows.h>

#include "app/SettingsWindow.h"
#include "toolkit/Application.h"
#include "toolkit/ErrorReport.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        toolkit::Application& app = toolkit::Application::Instance();
        app.Initialize(instance);
        app::SettingsWindow settingsWindow;
        app.Run();
    } catch (...) {
        toolkit::HandleCurrentException();
        return 1;
    }
    return 0;
}
