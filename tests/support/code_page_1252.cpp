/* Code page 1252 upper-casing: a-z and the accented small letters; the micro sign, sharp s
 * and the ordinal indicators have no capital in the code page and stay. */
#include "code_page_1252.h"

char UpperCase1252(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
        return static_cast<char>(u - 0x20);
    switch (u) {
    case 0x9A: return static_cast<char>(0x8A); /* s caron */
    case 0x9C: return static_cast<char>(0x8C); /* oe */
    case 0x9E: return static_cast<char>(0x8E); /* z caron */
    case 0xFF: return static_cast<char>(0x9F); /* y diaeresis */
    }
    return c;
}

char *UpperCaseText1252(char *text)
{
    for (char *at = text; *at; at++)
        *at = UpperCase1252(*at);
    return text;
}
