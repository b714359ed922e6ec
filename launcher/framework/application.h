/* The framework's application object: the program's one instance derives from it, the
 * entry hands it the process's command line, and InitInstance decides whether anything
 * runs after start-up. Only what Quelaunch needs. */
#ifndef FRAMEWORK_APPLICATION_H
#define FRAMEWORK_APPLICATION_H

#include <windows.h>
#include "text.h"

class Application {
public:
    /* Runs the program; returns its exit code. InitInstance is called once: false ends the
     * program at once, true runs the message loop until WM_QUIT. */
    int Start(HINSTANCE instance, const char *processCommandLine, int showCommand);

protected:
    Application();
    /* not virtual: the one object is destroyed as what it is, by the entry, and a virtual
     * destructor would need operator delete in a program without a runtime */
    ~Application() {}

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    /* Windows 4.0 draws controls in three dimensions by itself */
    BOOL Enable3dControls() { return TRUE; }
    /* this framework keeps no profile and no recent-file list */
    void LoadStdProfileSettings(UINT maxRecentFiles) { (void)maxRecentFiles; }

    HINSTANCE m_hInstance;
    int m_nCmdShow;
    /* the text after the program name, the framework's own copy: free to change in place */
    char *m_lpCmdLine;

private:
    Text m_commandLine;
};

#endif
