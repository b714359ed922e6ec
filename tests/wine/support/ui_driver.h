/* Driving Binpanel's real dialogs under Wine: loading the library, watching its calls
 * into USER32 through its import table, answering message boxes and fast-forwarding
 * the wait dialog from a thread-local CBT hook. */
#ifndef UI_DRIVER_H
#define UI_DRIVER_H

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

HMODULE BinpanelModule(); /* loaded once for the test program */
FARPROC BinpanelProc(const char *name);

/* Replaces the module's import of dll!function; returns the previous address. */
void *PatchImport(HMODULE module, const char *dll, const char *function, void *replacement);

struct MessageBoxSeen {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    bool ownerDisabled = false; /* while the box was on show */
};

struct HelpCall {
    HWND window;
    std::string file;
    UINT command;
    ULONG_PTR data;
};

/* Watches one test's user interface: message boxes (recorded, then answered from
 * `answers` in order, IDOK when they run out), WinHelpA and MessageBeep calls (recorded,
 * no help viewer started), and the wait dialog (on activation `onWaitDialog` runs; by
 * default it is fast-forwarded with 32 timer events). One at a time. */
class UiScript {
public:
    explicit UiScript(std::vector<int> answers = {});
    ~UiScript();

    std::vector<MessageBoxSeen> boxes;
    std::vector<HelpCall> helps;
    std::vector<UINT> beeps;
    int waitDialogs = 0;
    std::function<void(HWND)> onWaitDialog;
    std::vector<int> answers;
    std::vector<HWND> activated; /* dialogs already answered */
};

/* A top-level frame to own pages in tests. */
HWND TestFrame();

/* Shows the stand-alone dialog (HCOPopupDialog) over the test frame and, once it is on
 * show with its initialisation done, runs `act` on it inside its modal loop; `act` ends
 * it, by posting IDOK or IDCANCEL. Returns the dialog's result. */
INT_PTR RunStandAloneDialog(const std::function<void(HWND)> &act, HWND parent = TestFrame());

/* Posts `count` WM_TIMER events with timer id 0 to a dialog. */
void PostTimerTicks(HWND dialog, int count);

/* Posts `count` WM_TIMER events as PostTimerTicks does, and has the dialog and all its
 * children painted after each event it handles while shown, as a screen would be between
 * two ticks. PaintedTicks() counts those paints over the program's life. */
void PostPaintedTimerTicks(HWND dialog, int count);
int PaintedTicks();

/* A file's bytes, empty when it cannot be opened; others may still be writing it. */
std::string ReadWholeFile(const std::string &path);

/* Pumps the thread's messages until none is left. */
void PumpMessages();

std::string WindowText(HWND window);
std::string ListText(HWND list, int row, bool combo);
std::vector<std::string> ListRows(HWND list, bool combo);

/* The pixels of a window's top-left width x height block, or of a bitmap when given, as
 * colour values row by row: through GetWindowDC into a DIB section, which works with
 * Wine's null display driver. */
std::vector<COLORREF> CapturePixels(HWND window, int width, int height, HBITMAP source = nullptr);

/* Covers a window's width x height block with a colour, then lets it paint without
 * erasing: what the window's paint leaves untouched keeps the colour. */
void PaintOver(HWND window, int width, int height, COLORREF colour);


/* Creates the page from a descriptor the way the host does. */
HWND CreatePage(HWND parent, DWORD device);

/* A top-level dialog of the test's own that holds the page as a host does: a button, the
 * page (a child created from the descriptor), another button, in that tab order. It is
 * shown and made the foreground window, so that SendInput reaches it. */
struct HostWindow {
    HWND dialog = nullptr;
    HWND before = nullptr;
    HWND page = nullptr;
    HWND after = nullptr;
};
HostWindow OpenHostWindow(DWORD device, int x = 0);

/* Runs the thread's messages as a host's loop does, each through the host dialog's own
 * IsDialogMessage, until none is left. */
void PumpHost(HWND host);

/* Real keyboard input, through the thread's input queue: a key's press and release (with
 * Shift held around it when asked), a press or a release alone (`time` 0 is now), or
 * text typed key by key. */
void PressKey(WORD vk, bool shift = false);
void KeyDown(WORD vk, DWORD time = 0);
void KeyUp(WORD vk);
void TypeKeys(const std::string &text);

#endif
