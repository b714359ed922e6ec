/* The session's actions: how often each comes, and how a failing one is printed. */
#include "actions.h"

#include <windows.h>
#include <cstdio>

Rng::Rng(unsigned long long seed) : s(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}

unsigned Rng::Next()
{
    s += 0x9E3779B97F4A7C15ull;
    unsigned long long z = s;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return (unsigned)((z ^ (z >> 31)) >> 16);
}

int Rng::Below(int n) { return n > 0 ? (int)(Next() % (unsigned)n) : 0; }
bool Rng::Chance(int percent) { return Below(100) < percent; }

static const char kCp1252Sample[] = "abcxyzABCXYZ019 -'.\xE0\xE8\xE9\xEC\xF2\xF9\xC0\xC8\xDF\x80\x9C\xA3\xB5\xFF";

/* A character of code page 1252: the five bytes it leaves undefined are none. Nor is the
 * small tilde 0x98: after some letters Wine's glyph shaping in gdi32 crashes on it
 * (GPOS_apply_lookup, in any edit control, no Binpanel frame on the stack). */
static int RandomChar(Rng &r)
{
    if (r.Chance(70))
        return (unsigned char)kCp1252Sample[r.Below(sizeof kCp1252Sample - 1)];
    for (;;) {
        int c = 0x20 + r.Below(0xE0);
        if (c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D && c != 0x7F && c != 0x98)
            return c;
    }
}

std::string RandomText(Rng &r, int maxLength)
{
    std::string t;
    int n = r.Below(maxLength + 1);
    for (int i = 0; i < n; i++)
        t += (char)RandomChar(r);
    return t;
}

static ChangePlan RandomChange(Rng &r, bool inner)
{
    ChangePlan p;
    p.answers = r.Chance(25) ? r.Below(8) : 0;
    p.ticks = r.Chance(30) ? r.Below(32) : 32;
    p.end = r.Below(3);
    p.ahead = r.Chance(40) ? 1 + r.Below(AHEAD_KINDS - 1) : AHEAD_NONE;
    p.second = !inner && r.Chance(12) ? 1 + r.Below(0x7FFFFFF) : 0;
    return p;
}

Action RandomAction(Rng &r, bool inner)
{
    Action x = { 0, 0, 0, 0, "", { 0, 32, 0, AHEAD_NONE, 0 } };
    int roll = r.Below(100);
    if (roll < 14) {
        x.kind = K_TYPE;
        x.text = RandomText(r, 6);
        if (x.text.empty())
            x.text = "a";
    } else if (roll < 18) {
        x.kind = K_BACKSPACE;
    } else if (roll < 20) {
        x.kind = K_DELETE;
    } else if (roll < 24) {
        x.kind = K_PASTE;
        x.text = RandomText(r, 32);
    } else if (roll < 32) {
        static const int keys[] = { VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN };
        x.kind = K_ARROW;
        x.a = keys[r.Below(4)];
        x.b = r.Chance(20);
        x.change = RandomChange(r, inner);
    } else if (roll < 35) {
        x.kind = K_HOME_END;
        x.a = r.Chance(50) ? VK_HOME : VK_END;
        x.b = r.Chance(30);
    } else if (roll < 41) {
        x.kind = K_TAB;
        x.b = r.Chance(30);
    } else if (roll < 43 && !inner) {
        x.kind = K_ENTER; /* the host's default button: apply */
    } else if (roll < 44 && !inner) {
        x.kind = K_ESCAPE;
    } else if (roll < 49) {
        x.kind = M_RADIO;
        x.a = r.Below(3);
        x.change = RandomChange(r, inner);
    } else if (roll < 57) {
        x.kind = M_PICTURE;
        x.a = r.Below(130);
        x.b = r.Below(170);
    } else if (roll < 62) {
        x.kind = M_LIST_ROW;
        x.a = r.Below(9);
    } else if (roll < 65) {
        x.kind = M_EDIT;
        x.a = r.Below(140);
    } else if (roll < 69) {
        x.kind = M_TIMEOUT_ROW;
        x.a = r.Below(8);
    } else if (roll < 74) {
        x.kind = M_DESTINATION_ROW;
        x.a = r.Below(10);
    } else if (roll < 77) {
        x.kind = M_RENAME;
        x.a = r.Below(8);
        x.text = RandomText(r, 10);
    } else if (roll < 82 && !inner) {
        x.kind = H_MESSAGE;
        x.a = r.Chance(40) ? 1690 + 2 * r.Below(2) : 1690 + r.Below(6); /* mostly the applies */
        x.b = r.Chance(85);
    } else if (roll < 83 && !inner) {
        x.kind = H_POPUP;
        x.a = (int)(r.Next() & 0x7FFFFFFF);
        x.b = r.Below(12);
        x.c = r.Chance(60) ? 1 : 2;
    } else if (roll < 85 && !inner) {
        x.kind = H_REOPEN;
        x.a = 1 + r.Below(2);
    } else if (roll < 89) {
        x.kind = P_NAME;
        x.a = r.Below(9);
        x.text = RandomText(r, 32);
    } else if (roll < 91) {
        x.kind = P_MODE;
        x.a = r.Below(5);
    } else if (roll < 92) {
        static const int values[] = { -600, -1, 0, 1, 300, 301, 2700, 2701, 86400, -2147483647 - 1 };
        x.kind = P_TIMEOUT;
        x.a = values[r.Below(10)];
    } else if (roll < 94) {
        static const int values[] = { 0, 1, 2, 3, 4, 5, 7, 11, 12, 20, 21, 99 };
        x.kind = P_DESTINATION;
        x.a = values[r.Below(12)];
    } else if (roll < 95) {
        x.kind = P_ONLINE;
        x.a = r.Below(3);
    } else if (roll < 98) {
        x.kind = P_FAIL;
        x.a = r.Below(7);
        x.b = r.Chance(60) ? 0xFFFF : (r.Chance(50) ? 0x1234 : (int)(r.Next() | 1));
    } else if (roll < 99) {
        x.kind = P_DELAY;
        x.a = r.Below(3);
    } else {
        x.kind = P_COMPONENTS;
        x.a = r.Below(7);
    }
    return x;
}

std::vector<Action> SessionActions(unsigned seed)
{
    Rng r(seed ^ 0xA5A5A5A5u);
    int n = 10 + r.Below(70);
    std::vector<Action> actions;
    for (int i = 0; i < n; i++)
        actions.push_back(RandomAction(r, false));
    return actions;
}

std::string Quoted(const std::string &text)
{
    std::string q = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            q += (char)c;
        } else {
            char hex[8];
            sprintf(hex, "\\x%02X", c);
            q += hex;
        }
    }
    return q + "\"";
}

static std::string DescribeChange(const ChangePlan &p)
{
    static const char *const ends[] = { "Esc", "Enter", "its close box" };
    static const char *const ahead[] = { "", ", Enter typed ahead", ", Esc typed ahead", ", Enter held ahead",
                                         ", Esc typed ahead arriving late" };
    std::string s = " (if a mode change starts: boxes ";
    for (int n = 0; n < 3; n++)
        s += std::string(n ? " " : "") + (p.answers >> n & 1 ? "Esc" : "Enter");
    s += p.ticks >= 32 ? ", wait to the end" : ", wait ended by " + std::string(ends[p.end]) + " after " +
                                                   std::to_string(p.ticks) + " ticks";
    s += ahead[p.ahead % AHEAD_KINDS];
    if (p.second)
        s += ", the other printer's page used meanwhile (seed " + std::to_string(p.second) + ")";
    return s + ")";
}

std::string Describe(const Action &x)
{
    static const char *const radios[] = { "Mailbox", "Separatore", "Carrello" };
    char s[200];
    switch (x.kind) {
    case K_TYPE: return "type " + Quoted(x.text);
    case K_BACKSPACE: return "key Backspace";
    case K_DELETE: return "key Delete";
    case K_PASTE: return "paste " + Quoted(x.text);
    case K_ARROW:
        sprintf(s, "key %s%s", x.b ? "Shift+" : "",
                x.a == VK_LEFT ? "Left" : x.a == VK_RIGHT ? "Right" : x.a == VK_UP ? "Up" : "Down");
        return s + DescribeChange(x.change);
    case K_HOME_END: return std::string("key ") + (x.b ? "Shift+" : "") + (x.a == VK_HOME ? "Home" : "End");
    case K_TAB: return x.b ? "key Shift+Tab" : "key Tab";
    case K_ENTER: return "key Enter";
    case K_ESCAPE: return "key Esc";
    case M_RADIO: return std::string("click radio ") + radios[x.a % 3] + DescribeChange(x.change);
    case M_PICTURE: sprintf(s, "click bin picture at (%d, %d)", x.a, x.b); break;
    case M_LIST_ROW: sprintf(s, "click bin list row %d", x.a); break;
    case M_EDIT: sprintf(s, "click name edit at x %d", x.a); break;
    case M_TIMEOUT_ROW: sprintf(s, "pick timeout row %d", x.a); break;
    case M_DESTINATION_ROW: sprintf(s, "pick destination row %d", x.a); break;
    case M_RENAME: sprintf(s, "click bin list row %d, type %s", x.a, Quoted(x.text).c_str()); break;
    case H_MESSAGE: sprintf(s, "host message %d %s", x.a, x.b ? "with a word" : "with no word"); break;
    case H_POPUP:
        sprintf(s, "stand-alone dialog: %d actions of seed %u, then %s", x.b, (unsigned)x.a, x.c == 1 ? "OK" : "Annulla");
        break;
    case H_REOPEN: sprintf(s, "close the page, open it for device %d", x.a); break;
    case P_NAME: sprintf(s, "printer: bin record %d named %s", x.a, Quoted(x.text).c_str()); break;
    case P_MODE: sprintf(s, "printer: mode %d", x.a); break;
    case P_TIMEOUT: sprintf(s, "printer: timeout %d s", x.a); break;
    case P_DESTINATION: sprintf(s, "printer: destination %d", x.a); break;
    case P_ONLINE: sprintf(s, "printer: online state %d", x.a); break;
    case P_FAIL: sprintf(s, "printer: call %d from now fails with 0x%X", x.a, (unsigned)x.b); break;
    case P_DELAY: sprintf(s, "printer: calls delayed %d ms", x.a); break;
    case P_COMPONENTS: sprintf(s, "printer: component list %d", x.a); break;
    default: return "?";
    }
    return s;
}
