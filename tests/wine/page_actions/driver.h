/* The input driver of the page sessions: it holds the page in a host dialog of its own,
 * delivers what a user does (keys as real input through the host's message loop, clicks)
 * and what a host does (its messages, the stand-alone dialog), answers the mode change's
 * dialogs as the session's plan says, and records what reached the page and the printer
 * as the model's events. It judges nothing. */
#ifndef PAGE_ACTIONS_DRIVER_H
#define PAGE_ACTIONS_DRIVER_H

#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "actions.h"
#include "model.h"

/* The two host windows a session may use: the main one, and a second one opened while a
 * mode change waits on the first. */
#define MAIN_WINDOW 0
#define SECOND_WINDOW 1

/* Once per process: the driver's own window and hooks. */
void DriverStart();
void DriverStop();

/* Once per session: the library loaded afresh with its imports watched, the main host shown. */
bool DriverLoad();
void DriverUnload();

/* What the host does when the user presses its buttons (Enter, Esc): set by the session. */
extern std::function<void(int window, int command)> g_onHostCommand;
/* Run inside the wait dialog's loop once it is up, before it is ended (the second window). */
extern std::function<void()> g_onWaitShown;

HWND HostDialog(int window);
HWND PageIn(int window);     /* the page in that host, or the stand-alone dialog for MAIN_WINDOW while it is open */

/* Opens a page in a host from the applet's descriptor, as a host does; records the opening.
 * Opens the host window first when it is not there. Returns the page, or null. */
HWND OpenPage(int window, DWORD device);
void ClosePage(int window);
void CloseHost(int window);

/* Shows the stand-alone dialog over the main host; `inside` runs in its loop once it is up
 * and must end it. Returns its result. */
INT_PTR RunPopup(const std::function<void(HWND)> &inside);

/* Handles everything queued, input included, then returns. */
void Settle();

/* Real keyboard input to whatever has the focus; keys that change the name edit's text are
 * recorded with the text before and after. */
void Press(WORD vk, bool shift);
void TypeCharacter(unsigned char c);
void TypeBackspace();
void TypeDelete();
void Paste(const std::string &text);
/* A mouse click at a client point of an enabled, visible control. */
void Click(HWND control, int x, int y);
void ClickCentre(HWND control);

/* The plan for a mode change the next input may start. */
void PlanChange(const ChangePlan &plan);

/* A host message sent to the page; for the apply messages the model hears of it. */
void SendHostMessage(int window, UINT message, bool withWord, DWORD *word);
/* Something the session did that the model must hear of, in its place among the others. */
void Record(const Event &e);
std::vector<Event> TakeEvents();

/* The call `calls` calls from now fails with `status`. */
void InjectFailure(DWORD calls, DWORD status);

Screen ReadScreen(int window);

#endif
