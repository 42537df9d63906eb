// Process entry: the application object, the settings window, the loop.
#include <windows.h>

#include "toolkit/Application.h"
#include "toolkit/ErrorReport.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        toolkit::Application& app = toolkit::Application::Instance();
        app.Initialize(instance);
        app.SetTitle("Tavrin2");
        app.Run();
    } catch (...) {
        toolkit::HandleCurrentException();
        return 1;
    }
    return 0;
}
