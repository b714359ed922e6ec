/* Binpanel's page in the platform's property sheet. The sheet takes a page record, not the
 * library's 36-byte descriptor (too short for it, and its last word would land where the
 * record keeps the page's callback), so the record is filled field by field. The host's
 * procedure stands in front of the library's: it hands every message on, turns the sheet's
 * notifications into the private messages and tells the sheet when a setting changed. */
#include "page_sheet.h"
#include "host_resource.h"

#include <cstddef>

/* The descriptor is laid out as the sheet's page record up to the page's parameter, which
 * is why the page finds the device handle where it looks in what the sheet passes it. */
static_assert(offsetof(PageDescriptor, descriptorSize) == offsetof(PROPSHEETPAGEA, dwSize), "size");
static_assert(offsetof(PageDescriptor, flags) == offsetof(PROPSHEETPAGEA, dwFlags), "flags");
static_assert(offsetof(PageDescriptor, instance) == offsetof(PROPSHEETPAGEA, hInstance), "instance");
static_assert(offsetof(PageDescriptor, templateId) == offsetof(PROPSHEETPAGEA, pszTemplate), "template");
static_assert(offsetof(PageDescriptor, pageIconId) == offsetof(PROPSHEETPAGEA, pszIcon), "icon");
static_assert(offsetof(PageDescriptor, titleId) == offsetof(PROPSHEETPAGEA, pszTitle), "title");
static_assert(offsetof(PageDescriptor, dialogProc) == offsetof(PROPSHEETPAGEA, pfnDlgProc), "procedure");
static_assert(offsetof(PageDescriptor, deviceHandle) == offsetof(PROPSHEETPAGEA, lParam), "parameter");
static_assert(offsetof(PageDescriptor, lastWord) == offsetof(PROPSHEETPAGEA, pfnCallback), "callback");
static_assert(sizeof(PageDescriptor) < offsetof(PROPSHEETPAGEA, pcRefParent) + sizeof(UINT *),
              "shorter than the smallest page record the sheet takes");

/* Posted to the page by the host's procedure to itself, never handed on to the library's. */
#define WM_SHEET_REFOCUS (WM_APP + 1)

static HWND s_sheet;
static HWND s_page;
static DLGPROC s_appletProc; /* the descriptor's procedure, behind the host's */
static char s_generalText[512];
/* What the library's procedure returned for the last private message: a message sent to a
 * dialog answers the dialog's message result, not whether its procedure handled it. */
static INT_PTR s_pageHandled;

void SheetPageFromDescriptor(const PageDescriptor &descriptor, DLGPROC procedure, PROPSHEETPAGEA *page)
{
    ZeroMemory(page, sizeof *page);
    page->dwSize = sizeof *page;
    page->dwFlags = PSP_USETITLE | PSP_USEICONID | PSP_HASHELP;
    page->hInstance = descriptor.instance;
    page->pszTemplate = MAKEINTRESOURCEA(descriptor.templateId);
    page->pszIcon = MAKEINTRESOURCEA(descriptor.pageIconId);
    page->pszTitle = MAKEINTRESOURCEA(descriptor.titleId);
    page->pfnDlgProc = procedure;
    page->lParam = descriptor.deviceHandle;
}

static bool IsPrivateMessage(UINT message)
{
    return message >= PAGE_MSG_APPLY && message <= PAGE_MSG_QUERY;
}

static DWORD SendToPage(UINT message, bool *handled)
{
    DWORD answer = 0;
    s_pageHandled = FALSE;
    if (s_page)
        SendMessageA(s_page, message, 0, (LPARAM)&answer);
    if (handled)
        *handled = s_pageHandled != FALSE;
    OnPageAnswered(message, answer, s_pageHandled != FALSE);
    return answer;
}

bool PageMayBeLeft(void)
{
    if (!s_page)
        return true;
    bool handled;
    DWORD answer = SendToPage(PAGE_MSG_QUERY, &handled);
    return !handled || answer != 0;
}

/* The sheet's word on what the user did, as the host's private messages. */
static bool SheetPage_OnNotify(const PSHNOTIFY *note, LRESULT *result)
{
    *result = 0;
    switch (note->hdr.code) {
    case PSN_SETACTIVE:
        SendToPage(PAGE_MSG_NOTICE, nullptr);
        return true;
    case PSN_KILLACTIVE:
        *result = !PageMayBeLeft();
        return true;
    case PSN_APPLY: {
        bool closing = note->lParam != 0;
        OnSheetAction(closing ? "OK" : "Applica");
        /* The sheet disables Applica once the apply went through; pressed from the keyboard
         * it held the focus, and the keys would go nowhere after it. */
        HWND sheet = GetParent(s_page);
        if (!closing && GetFocus() == GetDlgItem(sheet, SHEET_APPLY_BUTTON))
            PostMessageA(s_page, WM_SHEET_REFOCUS, 0, 0);
        bool handled;
        DWORD answer = SendToPage(closing ? PAGE_MSG_APPLY_AGAIN : PAGE_MSG_APPLY, &handled);
        *result = !handled || answer != 0 ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        return true;
    }
    case PSN_HELP:
        OnSheetAction("Guida");
        SendToPage(PAGE_MSG_HELP, nullptr);
        return true;
    case PSN_RESET:
        OnSheetAction("Annulla");
        SendToPage(PAGE_MSG_SECOND_NOTICE, nullptr);
        return true;
    }
    return false;
}

static bool IsClass(HWND window, const char *name)
{
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpiA(cls, name) == 0;
}

/* The page's controls tell their parent what the user did: text typed into an edit that
 * has the focus and a row picked in a drop-down list change a setting that Applica writes.
 * An edit the page fills itself has no focus then, a list box row only selects, and a mode
 * radio is carried out by the page at once. */
static void SheetPage_WatchCommand(HWND page, WPARAM wParam, LPARAM lParam)
{
    HWND control = (HWND)lParam;
    UINT code = HIWORD(wParam);
    if (!control)
        return;
    bool typed = code == EN_CHANGE && GetFocus() == control;
    bool picked = code == CBN_SELCHANGE && IsClass(control, "ComboBox");
    if (typed || picked)
        PropSheet_Changed(GetParent(page), page);
}

static INT_PTR CALLBACK SheetPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        s_page = page;
        break;
    case WM_NOTIFY: {
        const NMHDR *header = (const NMHDR *)lParam;
        LRESULT result;
        if (header && header->hwndFrom == GetParent(page) && SheetPage_OnNotify((const PSHNOTIFY *)lParam, &result)) {
            SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
            return TRUE;
        }
        break;
    }
    case WM_SHEET_REFOCUS: {
        HWND focus = GetFocus();
        if (!focus || !IsWindowEnabled(focus))
            SendMessageA(GetParent(page), WM_NEXTDLGCTL, (WPARAM)GetDlgItem(GetParent(page), IDOK), TRUE);
        return TRUE;
    }
    case WM_DESTROY:
        if (page == s_page)
            s_page = nullptr;
        break;
    }
    INT_PTR handled = s_appletProc ? s_appletProc(page, message, wParam, lParam) : FALSE;
    if (IsPrivateMessage(message))
        s_pageHandled = handled;
    if (message == WM_COMMAND)
        SheetPage_WatchCommand(page, wParam, lParam);
    return handled;
}

static INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SetDlgItemTextA(page, IDC_GENERAL_TEXT, s_generalText);
        return TRUE;
    }
    return FALSE;
}

HWND OpenPageSheet(HWND owner, const char *printerName, const char *generalText, const PageDescriptor &descriptor)
{
    if (s_sheet)
        return nullptr;
    lstrcpynA(s_generalText, generalText, sizeof s_generalText);
    s_appletProc = descriptor.dialogProc;

    PROPSHEETPAGEA general = {};
    general.dwSize = sizeof general;
    general.dwFlags = PSP_USETITLE;
    general.hInstance = GetModuleHandleA(nullptr);
    general.pszTemplate = MAKEINTRESOURCEA(IDD_GENERAL_PAGE);
    general.pszTitle = "Generale";
    general.pfnDlgProc = GeneralPageProc;
    PROPSHEETPAGEA applet;
    SheetPageFromDescriptor(descriptor, SheetPageProc, &applet);

    HPROPSHEETPAGE pages[2];
    pages[SHEET_GENERAL_INDEX] = CreatePropertySheetPageA(&general);
    pages[SHEET_APPLET_INDEX] = CreatePropertySheetPageA(&applet);
    if (!pages[SHEET_GENERAL_INDEX] || !pages[SHEET_APPLET_INDEX]) {
        for (HPROPSHEETPAGE p : pages)
            if (p)
                DestroyPropertySheetPage(p);
        return nullptr;
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS | PSH_PROPTITLE | PSH_HASHELP;
    header.hwndParent = owner;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = printerName;
    header.nPages = 2;
    header.nStartPage = SHEET_APPLET_INDEX;
    header.phpage = pages;
    s_sheet = (HWND)PropertySheetA(&header);
    if (s_sheet == (HWND)-1 || s_sheet == nullptr) {
        s_sheet = nullptr;
        return nullptr;
    }
    if (!s_page) {
        /* the page refused to be created: the sheet without it is no use */
        DestroyWindow(s_sheet);
        s_sheet = nullptr;
        return nullptr;
    }
    return s_sheet;
}

HWND PageSheet(void)
{
    return s_sheet;
}

HWND SheetPage(void)
{
    return s_page;
}

bool SheetTakesMessage(MSG *msg)
{
    return s_sheet && PropSheet_IsDialogMessage(s_sheet, msg);
}

static void DestroySheet(void)
{
    HWND sheet = s_sheet;
    s_sheet = nullptr;
    DestroyWindow(sheet);
    s_page = nullptr;
    OnSheetClosed();
}

void DestroyEndedSheet(void)
{
    if (s_sheet && !PropSheet_GetCurrentPageHwnd(s_sheet))
        DestroySheet();
}

bool ClosePageSheet(void)
{
    if (!s_sheet)
        return true;
    if (!PageMayBeLeft())
        return false;
    PropSheet_PressButton(s_sheet, PSBTN_CANCEL);
    if (s_sheet)
        DestroySheet();
    return true;
}
