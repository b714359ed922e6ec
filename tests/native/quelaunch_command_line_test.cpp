/* Quelaunch's command-line rules as tables: the keys and the fallback, the atol rule, and which Spoolwatch call the keys lead to. The line is
 * upper-cased by code page 1252 first, as CharUpperA does it on the shipped program. */
#include <gtest/gtest.h>
#include <string>
#include "code_page_1252.h"
#include "command_line.h"

namespace {

/* the one Spoolwatch call, written as Quelaunch makes it */
std::string CallFor(const std::string &line)
{
    std::string text = line;
    UpperCaseText1252(&text[0]);
    LaunchKeys keys;
    ParseLaunchKeys(text.c_str(), &keys);
    std::string h = std::to_string(keys.h);
    if (ChooseMonitor(keys.q) == MONITOR_QUEUE_JOBS)
        return "Queue(" + std::string(keys.s) + "|" + keys.q + "|" + keys.p + "|" + h + ")";
    return "Print(" + std::string(keys.p) + "|" + h + ")";
}

struct CallCase {
    const char *what;
    std::string line;
    std::string call;
};

TEST(QuelaunchCommandLine, KeysLeadToOneSpoolwatchCall)
{
    const CallCase cases[] = {
        { "no key: the line is the printer", "ufficio2", "Print(UFFICIO2|0)" },
        { "printer and number, any case", "p=lp1, h=12", "Print(LP1|12)" },
        { "all four keys", "S=SRV1,Q=CODA1,P=LP1,H=7", "Queue(SRV1|CODA1|LP1|7)" },
        { "queue alone: no fallback", "Q=CODA1", "Queue(|CODA1||0)" },
        { "blank after P= skipped, Q= found inside P's value", "P= Q=X", "Queue(|X|Q=X|0)" },
        { "P= found inside Q's value", "Q=LP=1", "Queue(|LP=1|1|0)" },
        { "key inside a longer word", "SHOP=LP2", "Print(LP2|0)" },
        { "P= found inside S's value", "S=HOSTP=LP", "Print(LP|0)" },
        { "server alone: printer call with empty texts", "S=SRV1", "Print(|0)" },
        { "number alone: fallback keeps it", "H=12", "Print(H=12|12)" },
        { "P= at the end: fallback", "P=", "Print(P=|0)" },
        { "P= then only commas and blanks: fallback", "P=, ,  ,", "Print(P=, ,  ,|0)" },
        { "P= empty beside a server: no fallback", "S=SRV P=", "Print(|0)" },
        { "key given twice: first counts", "P=A,P=B H=1 H=2", "Print(A|1)" },
        { "quotation marks are plain characters", "P=\"a b\"", "Print(\"A|0)" },
        { "tab belongs to the value", "P=LP1\tH=3", "Print(LP1\tH=3|3)" },
        { "leading commas and blanks before a value", "Q=,, ,CODA", "Queue(|CODA||0)" },
        { "values end at a comma", "Q=A,B,C", "Queue(|A||0)" },
        { "empty line", "", "Print(|0)" },
        { "accented letters upper-cased", "p=stampante_\xE0\xE8\xEC\xF2\xF9 q=\xFF\x9C\x9A\x9E",
          "Queue(|\x9F\x8C\x8A\x8E|STAMPANTE_\xC0\xC8\xCC\xD2\xD9|0)" },
        { "letters without a capital stay", "q=\xB5\xDF\xF7\xAA", "Queue(|\xB5\xDF\xF7\xAA||0)" },
    };
    for (const CallCase &c : cases)
        EXPECT_EQ(c.call, CallFor(c.line)) << c.what;
}

TEST(QuelaunchCommandLine, OnlyTheFirst510CharactersAreSeen)
{
    const std::string x507(507, 'x'), a(510, 'a');
    const CallCase cases[] = {
        { "509 characters", "p=" + x507, "Print(" + std::string(507, 'X') + "|0)" },
        { "510 characters", "p=" + x507 + "y", "Print(" + std::string(507, 'X') + "Y|0)" },
        { "511 characters: the last is cut", "p=" + x507 + "yz", "Print(" + std::string(507, 'X') + "Y|0)" },
        { "fallback cut to 510", a + "bcd", "Print(" + std::string(510, 'A') + "|0)" },
        { "key past 510 not seen", a + "q=z", "Print(" + std::string(510, 'A') + "|0)" },
        { "key cut after its first character", a.substr(1) + "q=z", "Print(" + std::string(509, 'A') + "Q|0)" },
        { "key at 508, its value cut off: fallback", a.substr(2) + "q=z",
          "Print(" + std::string(508, 'A') + "Q=|0)" },
        { "number cut at 510", std::string(500, ',') + "h=12345678", "Print(" + std::string(500, ',') + "H=12345678|12345678)" },
        { "number cut at 510, digits lost", std::string(502, ',') + "h=12345678", "Print(" + std::string(502, ',') + "H=123456|123456)" },
    };
    for (const CallCase &c : cases)
        EXPECT_EQ(c.call, CallFor(c.line)) << c.what << " (" << c.line.size() << " characters)";
}

TEST(QuelaunchCommandLine, NumberFollowsTheAtolRuleAndSaturates)
{
    const struct {
        const char *value;
        int32_t number;
    } cases[] = {
        { "12", 12 },
        { "-5", -5 },
        { "+7", 7 },
        { "12AB", 12 },
        { "0X10", 0 },
        { "AB", 0 },
        { "-", 0 },
        { "--5", 0 },
        { "+-5", 0 },
        { "", 0 },
        { "\t 42", 42 },
        { "\x0B\x0C\r\n-3", -3 },
        { "000000000000000000000012", 12 },
        { "2147483647", 2147483647 },
        { "2147483648", 2147483647 },
        { "-2147483648", INT32_MIN },
        { "-2147483649", INT32_MIN },
        { "99999999999999999999999999", 2147483647 },
        { "-99999999999999999999999999", INT32_MIN },
        { "4294967297", 2147483647 },
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.number, ParseDecimal(c.value)) << '"' << c.value << '"';
}

TEST(QuelaunchCommandLine, NumberKeyAlwaysOverwritesWhenFound)
{
    const CallCase cases[] = {
        { "sign after the key", "p=a h=-5", "Print(A|-5)" },
        { "junk after the digits", "p=a h=12ab", "Print(A|12)" },
        { "no digits", "p=a h=ab", "Print(A|0)" },
        { "nothing after the key", "p=a h=", "Print(A|0)" },
        { "blank then number", "p=a h= 9", "Print(A|9)" },
        { "tab then number: atol skips it", "p=a h=\t9", "Print(A|9)" },
        { "overflow", "p=a h=99999999999", "Print(A|2147483647)" },
        { "H= found inside P's value", "p=xh=4", "Print(XH=4|4)" },
    };
    for (const CallCase &c : cases)
        EXPECT_EQ(c.call, CallFor(c.line)) << c.what;
}

} // namespace
