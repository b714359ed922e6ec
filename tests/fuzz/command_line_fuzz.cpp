/* Fuzz target: any process command line through Quelaunch's rules, from the program name
 * skip to the four keys, checked against a plain model of the same rules: values in upper
 * case, at most 510 characters, keyed values free of ", ", H= only from digits, and the
 * fallback taking the whole line when no P=, Q= or S= has a value. */
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include "code_page_1252.h"
#include "command_line.h"
#include "program_name.h"

static void Check(bool holds)
{
    if (!holds)
        std::abort();
}

static bool IsLower1252(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || c == 0x9A || c == 0x9C ||
           c == 0x9E || c == 0xFF;
}

static bool IsDelimiter(char c) { return c == ',' || c == ' '; }

/* The value after the first occurrence of a key, by strtok's rule; "" when none. */
static std::string ModelValue(const std::string &line, const char *key, bool *found)
{
    size_t at = line.find(key);
    *found = at != std::string::npos;
    if (!*found)
        return "";
    size_t begin = at + 2;
    while (begin < line.size() && IsDelimiter(line[begin]))
        begin++;
    size_t end = begin;
    while (end < line.size() && !IsDelimiter(line[end]))
        end++;
    return line.substr(begin, end - begin);
}

/* atol over 64 bits, clamped to the 32-bit limits */
static int32_t ModelDecimal(const std::string &text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        i++;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        i++;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; i++) {
        value = value * 10 + (text[i] - '0');
        if (value > 0x80000000LL)
            value = 0x80000000LL;
    }
    if (negative)
        return value >= 0x80000000LL ? INT32_MIN : (int32_t)-value;
    return value > INT32_MAX ? INT32_MAX : (int32_t)value;
}

static bool HasDigitValue(const std::string &value)
{
    size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || (value[i] >= '\t' && value[i] <= '\r')))
        i++;
    if (i < value.size() && (value[i] == '-' || value[i] == '+'))
        i++;
    return i < value.size() && value[i] >= '0' && value[i] <= '9';
}

static void CheckText(const char *value, size_t capacity)
{
    size_t n = strnlen(value, capacity);
    Check(n < capacity && n <= 510);
    for (size_t i = 0; i < n; i++)
        Check(!IsLower1252((unsigned char)value[i]));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    /* the process command line: the input up to its first zero byte */
    std::string commandLine(reinterpret_cast<const char *>(data), strnlen(reinterpret_cast<const char *>(data), size));
    const char *afterName = SkipProgramName(commandLine.c_str());
    Check(afterName >= commandLine.c_str() && afterName <= commandLine.c_str() + commandLine.size());
    Check(*afterName == '\0' || (unsigned char)*afterName > ' ');

    /* an exact-size copy, so that a read past its end shows */
    size_t length = std::strlen(afterName);
    char *text = static_cast<char *>(std::malloc(length + 1));
    std::memcpy(text, afterName, length + 1);
    UpperCaseText1252(text);

    LaunchKeys *keys = static_cast<LaunchKeys *>(std::malloc(sizeof(LaunchKeys)));
    std::memset(keys, 0x5A, sizeof *keys);
    ParseLaunchKeys(text, keys);

    CheckText(keys->p, sizeof keys->p);
    CheckText(keys->q, sizeof keys->q);
    CheckText(keys->s, sizeof keys->s);
    Check(!std::strpbrk(keys->q, ", ") && !std::strpbrk(keys->s, ", "));

    std::string line(text, length < 510 ? length : 510); /* the parse sees 510 characters */
    bool pFound, qFound, sFound, hFound;
    std::string p = ModelValue(line, "P=", &pFound), q = ModelValue(line, "Q=", &qFound),
                s = ModelValue(line, "S=", &sFound), h = ModelValue(line, "H=", &hFound);
    Check(q == keys->q && s == keys->s);
    if (p.empty() && q.empty() && s.empty()) {
        Check(line == keys->p); /* the fallback: the whole line as seen */
    } else {
        Check(p == keys->p);
        Check(!std::strpbrk(keys->p, ", "));
    }
    Check(keys->h == (hFound ? ModelDecimal(h) : 0));
    if (!HasDigitValue(h))
        Check(keys->h == 0);

    std::free(keys);
    std::free(text);
    return 0;
}
