/* The model of the page sessions: what the user must see and what the printer must hold,
 * stated from the rules of the settings page and independently of its code. It knows the
 * printer only through the calls the page makes (each with what the printer answered) and
 * the user only through what reached the page (a radio clicked, a row picked, a key typed
 * into the name edit, the host's messages); from these it predicts every device call, every
 * message box and what the page shows, and says where the page differs.
 * No window is touched here: the session reads the screen and the calls for it. */
#ifndef PAGE_ACTIONS_MODEL_H
#define PAGE_ACTIONS_MODEL_H

#include <stdint.h>
#include <functional>
#include <string>
#include <vector>
#include "device_records.h"

/* The device operations, as the printer library names them. */
enum Operation { OP_LAL_GET = 1, OP_PAL_GET, OP_LAL_SET, OP_CAL_SET, OP_CAL_GET_COMPONENT, OP_CAL_SET_COMPONENT, OP_TAL_ACCESS };

struct DeviceCall {
    int op;
    uint32_t device, component, object, zero, size, status;
    bool injected;                /* the session made this call fail */
    std::vector<uint8_t> record;  /* what a write carried, or what a read answered */
};

/* What happened during one step of a session, in order. */
enum EventKind {
    EV_OPEN,        /* a: device given by the host (0: the stand-alone dialog, which takes none);
                       b: 1 when a window was created; window: which one */
    EV_CLOSE,       /* the page of a window was closed */
    EV_CALL,
    EV_BOX,         /* text, caption, a: type, b: owned by the top-level window holding the page, c: answer */
    EV_WAIT,        /* the wait dialog came up; b: keys were typed ahead of it */
    EV_WAIT_END,    /* a: WaitEnd */
    EV_RADIO,       /* a: the mode of the radio that reported a click */
    EV_TIMEOUT_PICK,     /* a: the row the user left selected */
    EV_DESTINATION_PICK, /* a: likewise */
    EV_APPLY,       /* a: the host's apply message, or 0 for the stand-alone dialog's OK */
    EV_HOST_MESSAGE,/* a host message that applies nothing: a: the message */
    EV_EDIT_KEY,    /* a key that may change the name edit's text: text: before, text2: after,
                       a: selection start, b: selection end (both before), c: EditKey, d: the
                       selected bin row, e: the caret after; paste: the pasted text */
    EV_BEEP,        /* a: type */
    EV_INPUT,       /* the user starts acting on a window: what the page chose to select or
                       focus is the user's to change from now on */
    EV_PERHAPS_RENAMED, /* the page may have set a bin's own name into the focused edit: a
                           selection made while the edit had the focus */
};

enum EditKey { EDIT_CHAR, EDIT_BACKSPACE, EDIT_DELETE, EDIT_PASTE };

enum WaitEnd {
    WAIT_RAN_OUT,      /* ended by its own ticks */
    WAIT_KEY,          /* ended by a key pressed while it was shown */
    WAIT_CLOSE_BOX,
    WAIT_ENDED_AHEAD,  /* ended by a key pressed before it came up */
    WAIT_KEY_IGNORED,  /* a key pressed while it was shown did not end it */
    WAIT_NOT_SHOWN,    /* it ended before it was shown */
};

struct Event {
    int kind;
    int window;
    int a, b, c, d, e;
    std::string text, text2, paste;
    DeviceCall call;
};

/* What the page (or the stand-alone dialog) shows, as the session read it. */
struct Screen {
    bool checked[4];              /* by mode: 1 stacker, 2 mailbox, 3 job separator */
    bool mailboxEnabled[5];       /* group, list, label, edit, picture */
    std::vector<std::string> bins;
    int binSelected;
    std::string edit;
    std::vector<std::string> timeouts;
    int timeoutSelected;
    std::vector<std::string> destinations;
    int destinationSelected;
    int focus;                    /* control id of the focus in the page; 0 elsewhere; -1 none at all */
    bool focusEnabled;
    bool active;                  /* the window holding the page is the active one */
    /* the row the destination list's own search finds for a text, as its select-by-text does */
    std::function<int(const std::string &)> findDestination;
};

/* Checks of each kind the model made: a run that made none of one kind proved nothing of it. */
struct Counts {
    int namesWritten, timeoutsWritten, destinationsWritten, modeChanges, overlongRefused;
    int opened[4]; /* pages shown, by mode */
    int noComponentRefusals, typedAheadKept, takenOver;
};

/* The module's settings as the rules define them, and what the page showing them must show. */
struct Settings {
    uint32_t device;              /* of the last page initialised */
    bool componentKnown;
    uint32_t component;
    uint32_t mode;
    std::string names[8];         /* as the page must show them */
    std::string fullNames[8];     /* the text before fitting; the page may shorten it */
    bool fitPending[8];           /* the name is the page's fitting of fullNames, taken from the screen */
    uint32_t numbers[8];
    int timeoutIndex;
    uint32_t destination, destinationAtLoad;
    bool destinationRead;         /* a good read of the destination since the page opened */
    std::vector<uint8_t> destinationRecord;
    bool timeoutPicked, destinationPicked;
    int renamed[8];               /* 0 not, 1 perhaps (its own name set into the focused edit), 2 yes */
    bool populated;               /* the page shows the settings (not its bare template) */
    int destinationShown;         /* the row the list must select (-1 none); -2: a row standing for the
                                     destination (after a rebuild); -3: the row a fill selects by text */
    int focusExpected;            /* control id the focus must be on at the next look; 0: no expectation */
    int binExpected;              /* the mailbox row that must be selected at the next look; -1: any */
    bool perhapsSelected;         /* the selected mailbox may count as renamed with its own name */
    bool freshOpen;               /* not looked at since the page opened */
};

class Model {
public:
    Model();
    /* Walks the events of one step; false at the first difference (see Failure()). */
    bool Step(const std::vector<Event> &events);
    /* Compares a window's screen with what it must show; the session says which window. */
    bool Check(int window, const Screen &screen);
    const std::string &Failure() const { return failure; }
    Counts counts;

private:
    bool open[2];                 /* which windows show a page: the main host's (0), a second host's (1) */
    Settings live;                /* the settings model, owned by the window initialised last */
    int liveWindow;
    Settings stale;               /* a page whose model another page took over */
    int staleWindow;
    bool changeRunning;           /* a mode change waits: no other may start */
    std::string failure;
    const std::vector<Event> *events;
    size_t next;

    bool Fail(const std::string &what);
    const Event *Peek() const;
    const Event *Take(int kind, const char *what);
    bool TakeCall(int op, uint32_t object, uint32_t device, const char *what, const DeviceCall **call);
    bool TakeComponentCall(int op, uint32_t device, uint32_t component, const char *what, const DeviceCall **call);
    bool TakeWrite(int op, uint32_t object, uint32_t device, const std::vector<uint8_t> &bytes, const char *what,
                   const DeviceCall **call);
    bool TakeBox(int stringId, bool question, int *answer);
    bool Good(const DeviceCall *call, const char *what);
    bool StepOne();

    bool Open(const Event &e);
    bool Offer(uint32_t device, bool *offered);
    void TakeLoadedConfig(const HcoConfigRecord &config);
    bool RadioClicked(int window, uint32_t target);
    bool SwitchPage(uint32_t target);
    void RadiosBack();
    bool Apply();
    bool EditKeyTyped(const Event &e);

    std::vector<std::string> DestinationRows(const Settings &s) const;
    uint32_t RowValue(const Settings &s, int row) const;
    bool RowStandsFor(const Settings &s, int row, uint32_t destination) const;
    bool CheckSettings(Settings &s, const Screen &screen);
};

/* Texts of the page, as its rules give them (code page 1252). */
std::string MailboxDefault(int i);
extern const char kStackerName[], kSeparatorName[], kTopOutput[], kFaceUp[];
extern const char *const kTimeoutTexts[8];
extern const int kTimeoutSeconds[8];

/* Whether `shown` is an allowed fitting of `full` into `maxChars` characters: the text itself
 * when it fits, else a non-empty beginning of it. */
bool AcceptableFit(const std::string &shown, const std::string &full, size_t maxChars);

#endif
