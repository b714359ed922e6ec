/* PrintAdmin, the stand-in of the host administration program: one frame with the
 * simulated printers and the device calls, and the chosen printer's property sheet with
 * the HCO page that Binpanel offers.
 * Everything runs on one thread; this is the state its files share. */
#ifndef HOST_H
#define HOST_H

#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "page_descriptor.h"
#include "page_sheet.h"
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

    /* the last offer: the library copies its descriptor into the first free slot */
    PageDescriptor slots[HOST_PAGE_SLOTS];
    DWORD offerResult;
    DWORD offerCount;
    bool pageFailed;    /* offered, but the sheet or the page could not be made */
    int printerIndex;   /* row of the printer list, -1 before the first choice */
    RECT sheetRect;     /* where the last sheet stood, empty before the first */

    /* frame and its controls */
    HWND frame, printerLabel, printerList, printerInfo, pagePanel, popupButton;
    HWND actionText, logList;
    HFONT font, boldFont;

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
bool ClosePage(void);
INT_PTR ShowPopupDialog(void);

/* admin_frame.cpp */
HWND CreateAdminFrame(HINSTANCE instance);
void LayoutFrame(void);
void RouteMessage(MSG *msg);
int RunFrameLoop(void);
bool SelectPrinter(int index);
void BeginAction(const std::string &name, DWORD logStart);
void SetActionNote(const std::string &note);
void RefreshLog(void);
void RefreshPrinterInfo(void);
void ShowNoPageReason(const SimPrinter *printer);
void ShowSheetNote(void);
std::string PrinterSummary(const SimPrinter &printer);

/* tour.cpp */
int RunTour(const char *outDir);

/* screenshot.cpp */
/* The windows as they stand on the screen, later ones over earlier ones, on the desktop's colour. */
bool SaveWindowsPng(const std::vector<HWND> &windows, const std::string &path, std::string *error);

/* text_out.cpp: the host's texts are code page 1252, a terminal wants UTF-8 */
std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));
std::string ToUtf8(const std::string &ansi);
void PrintLine(const std::string &ansi);
bool OpenTranscript(const std::string &path);
void CloseTranscript(void);

#endif
