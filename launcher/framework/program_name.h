/* Where a process command line's arguments begin, for the framework's command-line text.
 * No windows.h, so that the rule is built and tested natively. */
#ifndef PROGRAM_NAME_H
#define PROGRAM_NAME_H

/* The text after the program name: a name in quotation marks ends at its closing mark,
 * any other at the first blank or control character; what follows the name up to and
 * including the last such character before the arguments is skipped. */
const char *SkipProgramName(const char *commandLine);

#endif
