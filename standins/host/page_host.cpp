/* Hosting Binpanel's page: the library is loaded at run time, asked for pages one printer
 * at a time, and the page it offers is created as a child dialog of the frame and driven
 * with the host's private messages. */
#include "host.h"

#include <commctrl.h>
#include <cstdio>

bool LoadApplet(std::string *error)
{
    g_host.applet = LoadLibraryA("Binpanel.dll");
    if (!g_host.applet) {
        char text[128];
        snprintf(text, sizeof text, "Binpanel.dll non è stato caricato (errore %lu).", GetLastError());
        *error = text;
        return false;
    }
    g_host.getTabPages = (AppletGetTabPagesFn)(void *)GetProcAddress(g_host.applet, "AppletGetTabPages");
    g_host.popupDialog = (HcoPopupDialogFn)(void *)GetProcAddress(g_host.applet, "HCOPopupDialog");
    if (!g_host.getTabPages || !g_host.popupDialog) {
        *error = "Binpanel.dll non esporta AppletGetTabPages e HCOPopupDialog.";
        return false;
    }
    return true;
}

void ShowTab(const char *title, HICON icon)
{
    SendMessageA(g_host.tab, TCM_DELETEALLITEMS, 0, 0);
    ImageList_RemoveAll(g_host.tabImages);
    TCITEMA item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = (char *)title;
    item.iImage = icon ? ImageList_AddIcon(g_host.tabImages, icon) : -1;
    SendMessageA(g_host.tab, TCM_INSERTITEMA, 0, (LPARAM)&item);
}

static void ShowPageTab(void)
{
    char title[64] = "";
    LoadStringA(g_host.page.instance, (UINT)g_host.page.titleId, title, sizeof title);
    HICON icon = (HICON)LoadImageA(g_host.page.instance, MAKEINTRESOURCEA(g_host.page.pageIconId), IMAGE_ICON, 16,
                                   16, 0);
    ShowTab(title, icon);
    if (icon)
        DestroyIcon(icon);
}

void PlacePage(void)
{
    RECT area;
    GetWindowRect(g_host.tab, &area);
    MapWindowPoints(nullptr, g_host.frame, (POINT *)&area, 2);
    SendMessageA(g_host.tab, TCM_ADJUSTRECT, FALSE, (LPARAM)&area);
    if (g_host.pageWindow)
        SetWindowPos(g_host.pageWindow, HWND_TOP, area.left, area.top, 0, 0, SWP_NOSIZE);
    SetWindowPos(g_host.noPageText, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, 0);
}

bool OfferAndOpenPage(int printerIndex)
{
    SimPrinter printer;
    g_host.printerIndex = printerIndex;
    g_host.offerResult = 0;
    g_host.offerCount = 0;
    if (SimPrinterAt((DWORD)printerIndex, &printer) != 0 || !g_host.getTabPages) {
        ShowNoPageReason(nullptr);
        return false;
    }
    ZeroMemory(g_host.slots, sizeof g_host.slots);
    g_host.offerResult = g_host.getTabPages(printer.device, &g_host.slots[0], &g_host.offerCount, 1);
    if (g_host.offerCount == 0) {
        ShowNoPageReason(&printer);
        return false;
    }

    g_host.page = g_host.slots[0];
    g_host.pageWindow = CreateDialogParamA(g_host.page.instance, MAKEINTRESOURCEA(g_host.page.templateId),
                                           g_host.frame, g_host.page.dialogProc, (LPARAM)&g_host.page);
    if (!g_host.pageWindow) {
        ShowNoPageReason(&printer);
        return false;
    }
    RECT rc;
    GetWindowRect(g_host.pageWindow, &rc);
    ShowWindow(g_host.noPageText, SW_HIDE);
    ShowPageTab();
    g_host.pageSize.cx = rc.right - rc.left;
    g_host.pageSize.cy = rc.bottom - rc.top;
    LayoutFrame();
    ShowWindow(g_host.pageWindow, SW_SHOWNA);
    EnableWindow(g_host.okButton, TRUE);
    EnableWindow(g_host.applyButton, TRUE);
    EnableWindow(g_host.helpButton, TRUE);
    return true;
}

/* 1695: the page stores 1 in the word when it may be left. A page that does not handle
 * the message (returns 0) is not asked twice. */
bool AskPageToClose(void)
{
    if (!g_host.pageWindow)
        return true;
    DWORD answer = 0;
    LRESULT handled = SendMessageA(g_host.pageWindow, PAGE_MSG_QUERY, 0, (LPARAM)&answer);
    return !handled || answer != 0;
}

void ClosePage(void)
{
    if (g_host.pageWindow)
        DestroyWindow(g_host.pageWindow);
    g_host.pageWindow = nullptr;
    EnableWindow(g_host.okButton, FALSE);
    EnableWindow(g_host.applyButton, FALSE);
    EnableWindow(g_host.helpButton, FALSE);
}

DWORD SendPageApply(UINT message)
{
    DWORD answer = 0;
    if (g_host.pageWindow)
        SendMessageA(g_host.pageWindow, message, 0, (LPARAM)&answer);
    return answer;
}

void SendPageHelp(void)
{
    if (g_host.pageWindow)
        SendMessageA(g_host.pageWindow, PAGE_MSG_HELP, 0, 0);
}

/* The stand-alone dialog takes over Binpanel's one settings model; afterwards the page is
 * created anew so that it owns the model again. */
INT_PTR ShowPopupDialog(void)
{
    if (!g_host.popupDialog)
        return -1;
    INT_PTR result = g_host.popupDialog(g_host.frame);
    if (g_host.pageWindow) {
        ClosePage();
        OfferAndOpenPage(g_host.printerIndex);
    }
    return result;
}
