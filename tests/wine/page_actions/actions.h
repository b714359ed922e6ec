/* What a page session is made of: user actions and printer events, drawn from one seed.
 * A user acts through the host's window with the keyboard and the mouse; the printer
 * changes behind the page's back and fails or slows down calls. */
#ifndef PAGE_ACTIONS_ACTIONS_H
#define PAGE_ACTIONS_ACTIONS_H

#include <string>
#include <vector>

struct Rng {
    unsigned long long s;
    explicit Rng(unsigned long long seed);
    unsigned Next();
    int Below(int n);
    bool Chance(int percent);
};

enum ActionKind {
    /* the keyboard, as real input through the host's message loop */
    K_TYPE,        /* text: typed character by character */
    K_BACKSPACE,
    K_DELETE,
    K_PASTE,       /* text: put on the clipboard, then Ctrl+V */
    K_ARROW,       /* a: VK_LEFT, VK_RIGHT, VK_UP or VK_DOWN; b: with Shift; may start a mode change */
    K_HOME_END,    /* a: VK_HOME or VK_END; b: with Shift */
    K_TAB,         /* b: with Shift */
    K_ENTER,       /* the host's default button: apply */
    K_ESCAPE,      /* the host's cancel: the page closed and opened again */
    /* the mouse */
    M_RADIO,       /* a: 0 mailbox, 1 job separator, 2 stacker; starts a mode change */
    M_PICTURE,     /* a, b: client point of the bin picture */
    M_LIST_ROW,    /* a: row of the bin list */
    M_EDIT,        /* a: x in the name edit */
    M_TIMEOUT_ROW, /* a: row, reached with the keys once the list has the focus */
    M_DESTINATION_ROW,
    M_RENAME,      /* a: row of the bin list clicked; text: typed into the name edit then */
    /* the host */
    H_MESSAGE,     /* a: message 1690..1695; b: with a writable word */
    H_POPUP,       /* a: seed of the actions inside; b: their number; c: 1 OK, 2 Annulla */
    H_REOPEN,      /* a: device */
    /* the printer */
    P_NAME,        /* a: record bin 0..8; text: up to 32 bytes, unterminated at 32 */
    P_MODE,        /* a: mode */
    P_TIMEOUT,     /* a: seconds, signed */
    P_DESTINATION, /* a: destination */
    P_ONLINE,      /* a: online state */
    P_FAIL,        /* a: calls from now; b: status */
    P_DELAY,       /* a: milliseconds */
    P_COMPONENTS,  /* a: which component list (see ComponentListOf) */
};

/* How the user meets a mode change, should the action start one. */
struct ChangePlan {
    int answers;   /* bit n set: the n-th message box is answered with Esc, else Enter */
    int ticks;     /* wait dialog ticks before it is ended; 32: it runs to its end */
    int end;       /* how it is ended early: 0 Esc, 1 Enter, 2 its close box */
    int ahead;     /* keys typed ahead, see TypeAhead */
    int second;    /* not 0: during the wait another printer's page is opened in a second host
                      window and used with these actions (a seed) */
};

/* Keys typed ahead during a mode change, while the mode write blocks the thread. */
enum TypeAhead {
    AHEAD_NONE,
    AHEAD_ENTER,      /* Enter pressed and released */
    AHEAD_ESCAPE,     /* Esc pressed and released */
    AHEAD_HELD_ENTER, /* Enter pressed and held: it repeats once the wait dialog is up */
    AHEAD_LATE,       /* Esc whose input arrives only once the wait dialog is up, with its old time */
    AHEAD_KINDS
};

struct Action {
    int kind;
    int a, b, c;
    std::string text;
    ChangePlan change;
};

/* One action as a user and a printer produce them; `inner` leaves out what the stand-alone
 * dialog cannot receive (the host's messages and keys, page changes, nested dialogs). */
Action RandomAction(Rng &r, bool inner);
std::vector<Action> SessionActions(unsigned seed);
std::string Describe(const Action &x);
std::string Quoted(const std::string &text);

/* A text of code page 1252 characters a user can type. */
std::string RandomText(Rng &r, int maxLength);

#endif
