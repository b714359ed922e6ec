/* Quelaunch's start-up: the parse and the one Spoolwatch call. */
#include "launcher_app.h"
#include "command_line.h"
#include "spoolwatch.h"

/* Upper-cases the framework's text in place, so keys are found in any case. false when a
 * text could not be stored: the program then ends without a monitor. */
bool LauncherApp::ParseCommandLine()
{
    CharUpperA(m_lpCmdLine);
    LaunchKeys keys;
    ParseLaunchKeys(m_lpCmdLine, &keys);
    m_lH = keys.h;
    return m_strP.Assign(keys.p) && m_strQ.Assign(keys.q) && m_strS.Assign(keys.s);
}

BOOL LauncherApp::InitInstance()
{
    if (lstrlenA(m_lpCmdLine) == 0)
        return FALSE;
    if (!ParseCommandLine())
        return FALSE;
    Enable3dControls();
    LoadStdProfileSettings(4);

    if (ChooseMonitor(m_strQ) == MONITOR_QUEUE_JOBS)
        MonitorQueueJobs2(m_strS, m_strQ, m_strP, m_lH);
    else
        MonitorPrintJobs2(m_strP, m_lH);
    return FALSE;
}
