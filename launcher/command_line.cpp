/* Quelaunch's command-line rules. Deliverable code: no C library. */
#include "command_line.h"

namespace {

struct KeyRow {
    char first, second;
    char (LaunchKeys::*text)[LAUNCH_TEXT_SIZE]; /* null for the number */
};

/* search order */
const KeyRow kKeys[] = {
    { 'P', '=', &LaunchKeys::p },
    { 'Q', '=', &LaunchKeys::q },
    { 'S', '=', &LaunchKeys::s },
    { 'H', '=', nullptr },
};

void CopyBounded(char *to, const char *from, size_t limit)
{
    size_t i = 0;
    for (; i + 1 < limit && from[i]; i++)
        to[i] = from[i];
    to[i] = '\0';
}

void FillWorkBuffer(char (&buffer)[PARSE_BUFFER_SIZE], const char *text)
{
    CopyBounded(buffer, text, PARSE_COPY_LIMIT);
    buffer[PARSE_BUFFER_SIZE - 1] = '\0';
}

char *FindKey(char *buffer, const KeyRow &key)
{
    for (char *at = buffer; at[0]; at++) {
        if (at[0] == key.first && at[1] == key.second)
            return at;
    }
    return nullptr;
}

bool IsDelimiter(char c)
{
    return c == ',' || c == ' ';
}

/* strtok's rule: skip delimiters, cut at the next one; the empty text when nothing is left */
char *FirstToken(char *from)
{
    while (IsDelimiter(*from))
        from++;
    char *end = from;
    while (*end && !IsDelimiter(*end))
        end++;
    *end = '\0';
    return from;
}

bool IsWhiteSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

void ParseLaunchKeys(const char *text, LaunchKeys *keys)
{
    keys->p[0] = keys->q[0] = keys->s[0] = '\0';
    keys->h = 0;

    char buffer[PARSE_BUFFER_SIZE];
    for (const KeyRow &key : kKeys) {
        /* a fresh copy each time: the previous key's cut must not hide this one */
        FillWorkBuffer(buffer, text);
        char *found = FindKey(buffer, key);
        if (!found)
            continue;
        const char *value = FirstToken(found + 2);
        if (key.text)
            CopyBounded(keys->*key.text, value, LAUNCH_TEXT_SIZE);
        else
            keys->h = ParseDecimal(value);
    }

    FillWorkBuffer(buffer, text);
    if (!keys->p[0] && !keys->q[0] && !keys->s[0])
        CopyBounded(keys->p, buffer, LAUNCH_TEXT_SIZE);
}

int32_t ParseDecimal(const char *text)
{
    while (IsWhiteSpace(*text))
        text++;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        text++;

    const uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; text++) {
        uint32_t digit = uint32_t(*text - '0');
        if (value > (limit - digit) / 10) {
            value = limit;
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? int32_t(0u - value) : int32_t(value);
}

MonitorKind ChooseMonitor(const char *queue)
{
    return queue[0] ? MONITOR_QUEUE_JOBS : MONITOR_PRINT_JOBS;
}
