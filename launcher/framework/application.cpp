/* The framework's start-up. */
#include "application.h"
#include "program_name.h"

Application::Application() : m_hInstance(nullptr), m_nCmdShow(SW_SHOWDEFAULT), m_lpCmdLine(nullptr) {}

BOOL Application::InitInstance()
{
    return TRUE;
}

int Application::ExitInstance()
{
    return 0;
}

int Application::Start(HINSTANCE instance, const char *processCommandLine, int showCommand)
{
    m_hInstance = instance;
    m_nCmdShow = showCommand;
    if (!m_commandLine.Assign(SkipProgramName(processCommandLine)))
        return 1;
    static char empty[1];
    m_lpCmdLine = m_commandLine.IsEmpty() ? empty : m_commandLine.Buffer();

    if (!InitInstance())
        return ExitInstance();

    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    ExitInstance();
    return int(message.wParam);
}
