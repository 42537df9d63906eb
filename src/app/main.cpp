// Process entry: the application object, the settings window created hidden
// as the main window, the message loop; at exit the window and everything it
// owns go in reverse order of creation.
#include <windows.h>

#include <cstdlib>
#include <cxxabi.h>

#include "app/SettingsWindow.h"
#include "toolkit/Application.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/SystemLibrary.h"

// Only a fault reaches the terminate handler: every entry from the platform
// catches. The library's own handler would write the exception's demangled
// type to a standard error stream this program does not have, and its
// demangler alone is a tenth of the executable; ending at once is what is left.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything can load a library: what the platform loads for the
    // program later (shell extensions, the open dialog's helpers) then comes
    // from the system folder, never from the folder the program was started
    // in. Without the switch (an old Windows 7) the search stays as it was.
    toolkit::LimitLibrarySearchToSystemFolder();
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
