/* Holds the Wine desktop of a suite's prefix while the suite runs; the suite runners start it
 * before the tests and end it with the server.
 *
 * Wine ends the desktop's window process (explorer.exe /desktop) a second after the last
 * other process on the desktop is gone, and the next program to make a window starts it again
 * as its own child. Explorer then inherits that test's standard output, which is ctest's pipe,
 * and ctest counts the test as running until explorer ends: a 0.1 s test took a minute, or
 * ran past its time limit, whenever the desktop had been left empty for a moment. Started by
 * the runner with its output in a file, this program makes the desktop window first and stays
 * on the desktop, so explorer is its child and never a test's. */
#include <windows.h>
#include <cstdio>

int main()
{
    if (!GetDesktopWindow()) {
        printf("desktop holder: no desktop window, error %lu\n", GetLastError());
        return 1;
    }
    printf("desktop holder: the desktop is up\n");
    fflush(stdout);
    Sleep(INFINITE);
    return 0;
}
