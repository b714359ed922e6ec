/* Hosting Binpanel's page: the library is loaded at run time and asked for pages one
 * printer at a time; the page it offers is shown in the printer's property sheet, where
 * the sheet's buttons reach it as the host's private messages (page_sheet.cpp). */
#include "host.h"

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

/* Over the frame's page panel the first time, where the user left it afterwards; always on
 * the screen. */
static void PlaceSheet(HWND sheet)
{
    RECT rc, panel, frame, work;
    GetWindowRect(sheet, &rc);
    GetWindowRect(g_host.pagePanel, &panel);
    GetWindowRect(g_host.frame, &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int width = rc.right - rc.left, height = rc.bottom - rc.top;
    POINT at = { panel.left, frame.top };
    if (!IsRectEmpty(&g_host.sheetRect)) {
        at.x = g_host.sheetRect.left;
        at.y = g_host.sheetRect.top;
    }
    if (at.x + width > work.right)
        at.x = work.right - width;
    if (at.y + height > work.bottom)
        at.y = work.bottom - height;
    at.x = at.x < work.left ? work.left : at.x;
    at.y = at.y < work.top ? work.top : at.y;
    SetWindowPos(sheet, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool OfferAndOpenPage(int printerIndex)
{
    SimPrinter printer;
    g_host.printerIndex = printerIndex;
    g_host.offerResult = 0;
    g_host.offerCount = 0;
    g_host.pageFailed = false;
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
    HWND sheet = OpenPageSheet(g_host.frame, printer.name, PrinterSummary(printer).c_str(), g_host.slots[0]);
    if (!sheet) {
        g_host.pageFailed = true;
        ShowNoPageReason(&printer);
        return false;
    }
    PlaceSheet(sheet);
    ShowSheetNote();
    return true;
}

bool ClosePage(void)
{
    return ClosePageSheet();
}

/* The stand-alone dialog takes over Binpanel's one settings model: the sheet's page waits
 * for it, and is created anew afterwards so that it owns the model again. */
INT_PTR ShowPopupDialog(void)
{
    if (!g_host.popupDialog)
        return -1;
    HWND sheet = PageSheet();
    if (sheet)
        EnableWindow(sheet, FALSE);
    INT_PTR result = g_host.popupDialog(g_host.frame);
    if (sheet && sheet == PageSheet()) {
        EnableWindow(sheet, TRUE);
        if (ClosePage())
            OfferAndOpenPage(g_host.printerIndex);
    }
    return result;
}
