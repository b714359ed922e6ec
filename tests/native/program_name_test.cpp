/* The framework's command-line text: where the arguments begin after the program name. */
#include <gtest/gtest.h>
#include "program_name.h"

TEST(ProgramName, ArgumentsBeginAfterIt)
{
    const struct {
        const char *what, *commandLine, *arguments;
    } cases[] = {
        { "plain name", "Quelaunch.exe P=1", "P=1" },
        { "name only", "Quelaunch.exe", "" },
        { "blanks after the name only", "Quelaunch.exe   ", "" },
        { "trailing blanks stay", "Quelaunch.exe P=1  ", "P=1  " },
        { "tabs and control characters after the name", "Quelaunch.exe\t \x01\x1FP=1 Q=2", "P=1 Q=2" },
        { "quoted name with blanks and keys", "\"C:\\Programmi Zorvo\\P=A Q=B.exe\"  ufficio", "ufficio" },
        { "quoted name ends at its closing mark", "\"Quelaunch.exe\"q=coda", "q=coda" },
        { "empty quoted name", "\"\" P=1", "P=1" },
        { "unclosed quotation mark takes the line", "\"C:\\x P=1", "" },
        { "accented letters belong to a plain name", "C:\\St\xE0mpa.exe\xA0P=1", "" },
        { "empty line", "", "" },
    };
    for (const auto &c : cases)
        EXPECT_STREQ(c.arguments, SkipProgramName(c.commandLine)) << c.what;
}
