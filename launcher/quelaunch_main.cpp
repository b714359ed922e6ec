/* Quelaunch's entry. Without a C runtime no static constructor runs, so the one
 * LauncherApp is built here in static storage before the start-up and destroyed after it. */
#include <new>
#include "launcher_app.h"

alignas(LauncherApp) static unsigned char g_appStorage[sizeof(LauncherApp)];

extern "C" void WINAPI QuelaunchEntry(void)
{
    LauncherApp *app = new (g_appStorage) LauncherApp;

    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;

    int exitCode = app->Start(GetModuleHandleA(nullptr), GetCommandLineA(), show);
    app->~LauncherApp();
    ExitProcess(UINT(exitCode));
}
