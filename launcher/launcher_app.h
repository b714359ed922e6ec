/* Quelaunch's application object: reads the keys of its command line and opens one
 * Spoolwatch monitor. */
#ifndef LAUNCHER_APP_H
#define LAUNCHER_APP_H

#include "framework/application.h"
#include "framework/text.h"

class LauncherApp final : public Application {
public:
    LauncherApp() : m_lH(0) {}

protected:
    BOOL InitInstance() override;

private:
    bool ParseCommandLine();

    /* declared in this order so that they are released Q, S, P */
    Text m_strP;
    Text m_strS;
    Text m_strQ;
    LONG m_lH;
};

#endif
