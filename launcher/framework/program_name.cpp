/* The program name at the start of a process command line. */
#include "program_name.h"

const char *SkipProgramName(const char *commandLine)
{
    const unsigned char *at = reinterpret_cast<const unsigned char *>(commandLine);
    if (*at == '"') {
        at++;
        while (*at && *at != '"')
            at++;
        if (*at == '"')
            at++;
    } else {
        while (*at > ' ')
            at++;
    }
    while (*at && *at <= ' ')
        at++;
    return reinterpret_cast<const char *>(at);
}
