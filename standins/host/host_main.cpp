/* PrintAdmin: the stand-in of the host administration program that loads Binpanel.
 *   PrintAdmin.exe [--scenario FILE] [--tour OUTDIR]
 * Without --scenario the printers come from DEVOBJ_SCENARIO or the built-in one; the tour
 * sets up printers of its own. */
#include "host.h"

#include <cstdlib>
#include <cstring>

static void Complain(bool tour, const std::string &text)
{
    if (tour)
        PrintLine("PrintAdmin: " + text);
    else
        MessageBoxA(nullptr, text.c_str(), "Amministrazione stampanti", MB_OK | MB_ICONEXCLAMATION);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    const char *scenario = nullptr;
    const char *tourDir = nullptr;
    for (int i = 1; i < __argc; i++) {
        if (strcmp(__argv[i], "--scenario") == 0 && i + 1 < __argc)
            scenario = __argv[++i];
        else if (strcmp(__argv[i], "--tour") == 0 && i + 1 < __argc)
            tourDir = __argv[++i];
        else {
            Complain(tourDir != nullptr, std::string("argomento sconosciuto: ") + __argv[i] +
                                              "\nUso: PrintAdmin.exe [--scenario FILE] [--tour CARTELLA]");
            return 2;
        }
    }
    if (scenario && !tourDir && SimLoadScenario(scenario) == 0)
        Complain(false, std::string("Lo scenario «") + scenario + "» non contiene stampanti: uso la stampante predefinita.");

    std::string error;
    if (!LoadApplet(&error)) {
        Complain(tourDir != nullptr, error);
        if (tourDir)
            return 1;
    }
    if (tourDir)
        return RunTour(tourDir);

    if (!CreateAdminFrame(instance))
        return 1;
    RECT work, frame;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(g_host.frame, &frame);
    SetWindowPos(g_host.frame, nullptr, work.left + ((work.right - work.left) - (frame.right - frame.left)) / 2,
                 work.top + ((work.bottom - work.top) - (frame.bottom - frame.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(g_host.frame, show);
    UpdateWindow(g_host.frame);
    if (SimPrinterCount() > 0)
        SelectPrinter(0);
    return RunFrameLoop();
}
