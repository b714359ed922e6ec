/* PrintAdmin, the stand-in of the host administration program: one frame with the
 * simulated printers on the left and the HCO page that Binpanel offers on the right.
 * Everything runs on one thread; this is the state its files share. */
#ifndef HOST_H
#define HOST_H

#include <windows.h>
#include <commctrl.h>
#include <string>
#include "page_descriptor.h"
#include "devobj.h"
#include "devobj_sim.h"

typedef DWORD(WINAPI *AppletGetTabPagesFn)(DeviceHandle, PageDescriptor *, DWORD *, DWORD);
typedef INT_PTR(WINAPI *HcoPopupDialogFn)(HWND);

#define HOST_PAGE_SLOTS 4
#define NO_MARK ((DWORD)-1)

struct Host {
    /* Binpanel, loaded at run time */
    HMODULE applet;
    AppletGetTabPagesFn getTabPages;
    HcoPopupDialogFn popupDialog;

    /* the page on show; the descriptor stays alive as long as the page */
    PageDescriptor slots[HOST_PAGE_SLOTS];
    PageDescriptor page;
    HWND pageWindow;
    DWORD offerResult;
    DWORD offerCount;
    int printerIndex;   /* row of the printer list, -1 before the first choice */

    /* frame and its controls */
    HWND frame, printerLabel, printerList, printerInfo, tab, noPageText;
    HWND okButton, cancelButton, applyButton, helpButton, popupButton;
    HWND actionText, logList;
    HFONT font, boldFont;
    HIMAGELIST tabImages;
    SIZE pageSize;      /* the page template's size in pixels */

    /* the device call log: calls from actionStart on belong to the action named */
    DWORD actionStart;
    std::string actionName, actionNote;
    DWORD listedStart, listedCount;
    DWORD inputMark;    /* log length at the last user input to the page, NO_MARK if none */
};

extern Host g_host;

/* page_host.cpp */
bool LoadApplet(std::string *error);
bool OfferAndOpenPage(int printerIndex);
bool AskPageToClose(void);
void ClosePage(void);
DWORD SendPageApply(UINT message);
void SendPageHelp(void);
INT_PTR ShowPopupDialog(void);
void PlacePage(void);
void ShowTab(const char *title, HICON icon);

/* admin_frame.cpp */
HWND CreateAdminFrame(HINSTANCE instance);
void LayoutFrame(void);
int RunFrameLoop(void);
bool SelectPrinter(int index);
void BeginAction(const std::string &name, DWORD logStart);
void SetActionNote(const std::string &note);
void RefreshLog(void);
void RefreshPrinterInfo(void);
void ShowNoPageReason(const SimPrinter *printer);

/* tour.cpp */
int RunTour(const char *outDir);

/* screenshot.cpp */
bool SaveWindowPng(HWND window, const std::string &path, std::string *error);

/* text_out.cpp: the host's texts are code page 1252, a terminal wants UTF-8 */
std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));
std::string ToUtf8(const std::string &ansi);
void PrintLine(const std::string &ansi);
bool OpenTranscript(const std::string &path);
void CloseTranscript(void);

#endif
