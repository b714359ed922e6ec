/* The page in the platform's property sheet as a person uses it: keys given through
 * SendInput and handled by the sheet's own message handling (PropSheet_IsDialogMessage in
 * the host's loop), the sheet's buttons reaching the page as the host's private messages,
 * and what Applica writes. */
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>
#include "device_log.h"
#include "page_sheet.h"
#include "resource.h"
#include "ui_driver.h"

namespace {

struct Answered {
    UINT message;
    DWORD answer;
    bool handled;
};

std::vector<Answered> g_answered;
std::vector<std::string> g_actions;
int g_sheetsClosed;

/* The page's tab stops in its template's order (the mode radios are one stop, the checked
 * radio's). */
const int kPageTabStops[] = { IDC_MODE_MAILBOX, IDC_TIMEOUT_COMBO, IDC_BIN_LIST, IDC_NAME_EDIT, IDC_DESTINATION_COMBO };

typedef DWORD(WINAPI *GetTabPagesFn)(DWORD, PageDescriptor *, DWORD *, DWORD);

/* The host's loop until the input sent so far has been handled: a timer comes after all
 * input and what it posted. */
void Settle()
{
    UINT_PTR timer = SetTimer(nullptr, 0, 1, nullptr);
    MSG msg;
    for (int guard = 0; guard < 10000 && GetMessageA(&msg, nullptr, 0, 0) > 0; guard++) {
        if (msg.message == WM_TIMER && !msg.hwnd && msg.wParam == timer)
            break;
        if (!SheetTakesMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DestroyEndedSheet();
    }
    KillTimer(nullptr, timer);
}

/* One key as the keyboard gives it, with Shift or Ctrl held around it, and what it did. */
void Key(WORD vk, bool shift = false, bool control = false)
{
    if (control)
        KeyDown(VK_CONTROL);
    PressKey(vk, shift);
    if (control)
        KeyUp(VK_CONTROL);
    Settle();
}

void Type(const char *text)
{
    TypeKeys(text);
    Settle();
}

std::string Describe(HWND window)
{
    if (!window)
        return "no focus";
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    return std::string(cls) + " " + std::to_string(GetDlgCtrlID(window)) + " \"" + WindowText(window) + "\"";
}

} // namespace

/* What the sheet tells its host. */
void OnSheetAction(const char *action)
{
    g_actions.push_back(action);
}

void OnPageAnswered(UINT message, DWORD answer, bool handled)
{
    g_answered.push_back({ message, answer, handled });
}

void OnSheetClosed(void)
{
    g_sheetsClosed++;
}

class PageSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimPrinter printer = DefaultPrinter();
        printer.device = 7;
        lstrcpynA(printer.binNames[1], "Reparto sette", sizeof printer.binNames[1]);
        UsePrinters({ printer });
        GetTabPagesFn getPages = (GetTabPagesFn)BinpanelProc("AppletGetTabPages");
        DWORD count = 0;
        ASSERT_EQ(0u, getPages(7, &descriptor, &count, 1));
        ASSERT_EQ(1u, count);
        sheet = OpenPageSheet(TestFrame(), "Stampante di prova", "Dispositivo 7", descriptor);
        ASSERT_NE(nullptr, sheet);
        page = SheetPage();
        ASSERT_NE(nullptr, page);
        SetForegroundWindow(sheet);
        Settle();
        ASSERT_EQ(sheet, GetForegroundWindow()) << "keys reach the foreground window only";
        g_answered.clear();
        g_actions.clear();
        g_sheetsClosed = 0;
        SimLogClear();
    }
    void TearDown() override
    {
        ClosePageSheet();
        Settle();
    }

    HWND Item(int id) const { return GetDlgItem(page, id); }
    HWND Button(int id) const { return GetDlgItem(sheet, id); }

    /* Tab (or Shift+Tab) until the focus comes back where it started: the stops on the way. */
    std::vector<HWND> TabCycle(bool backwards)
    {
        std::vector<HWND> stops;
        HWND start = GetFocus();
        for (int i = 0; i < 30; i++) {
            Key(VK_TAB, backwards);
            HWND focus = GetFocus();
            stops.push_back(focus);
            if (focus == start || !focus)
                break;
        }
        return stops;
    }

    /* Tab until `target` has the focus; false if it never does. */
    bool TabTo(HWND target)
    {
        for (int i = 0; i < 30 && GetFocus() != target; i++) {
            Key(VK_TAB);
        }
        return GetFocus() == target;
    }

    /* The private messages the page got; without the notice of being shown when `notices`
     * is false (the sheet shows the page again after an apply). */
    std::vector<UINT> Messages(bool notices = true) const
    {
        std::vector<UINT> messages;
        for (const Answered &a : g_answered)
            if (notices || a.message != PAGE_MSG_NOTICE)
                messages.push_back(a.message);
        return messages;
    }

    PageDescriptor descriptor = {};
    HWND sheet = nullptr;
    HWND page = nullptr;
};

TEST_F(PageSheetTest, TheRecordComesFromTheDescriptorAndThePageFindsItsPrinterInTheSheetsCopy)
{
    PROPSHEETPAGEA record;
    std::memset(&record, 0xAB, sizeof record);
    SheetPageFromDescriptor(descriptor, (DLGPROC)BinpanelProc("HCOSheetProc"), &record);
    EXPECT_EQ(sizeof record, record.dwSize);
    EXPECT_EQ((DWORD)(PSP_USETITLE | PSP_USEICONID | PSP_HASHELP), record.dwFlags);
    EXPECT_EQ(descriptor.instance, record.hInstance);
    EXPECT_EQ(MAKEINTRESOURCEA(IDD_PAGE), record.pszTemplate);
    EXPECT_EQ(MAKEINTRESOURCEA(IDI_PAGE), record.pszIcon);
    EXPECT_EQ(MAKEINTRESOURCEA(IDS_PAGE_TITLE), record.pszTitle);
    EXPECT_EQ(7, record.lParam);
    EXPECT_EQ(nullptr, (void *)record.pfnCallback) << "the descriptor's last word is no callback";
    const BYTE *rest = (const BYTE *)&record.pcRefParent;
    for (size_t i = 0; i < sizeof record - offsetof(PROPSHEETPAGEA, pcRefParent); i++)
        ASSERT_EQ(0, rest[i]) << "byte " << offsetof(PROPSHEETPAGEA, pcRefParent) + i << " left as it was";

    /* the page the sheet made read printer 7's settings: its parameter arrived at the offset
     * it reads in the sheet's copy of the record */
    EXPECT_EQ("Reparto sette", ListText(Item(IDC_BIN_LIST), 0, false));
    char title[32] = "";
    TCITEMA tab = {};
    tab.mask = TCIF_TEXT;
    tab.pszText = title;
    tab.cchTextMax = sizeof title;
    SendMessageA(PropSheet_GetTabControl(sheet), TCM_GETITEMA, SHEET_APPLET_INDEX, (LPARAM)&tab);
    EXPECT_STREQ("HCO", title);
    EXPECT_EQ(page, PropSheet_GetCurrentPageHwnd(sheet));
}

TEST_F(PageSheetTest, TabAndShiftTabReachEveryTabStopOfThePageInOrder)
{
    std::vector<HWND> pageStops;
    for (int id : kPageTabStops)
        pageStops.push_back(Item(id));
    /* the table is the page's: every enabled, visible control with a tab stop, no other */
    int found = 0;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(child) && IsWindowVisible(child)) {
            EXPECT_NE(pageStops.end(), std::find(pageStops.begin(), pageStops.end(), child)) << Describe(child);
            found++;
        }
    EXPECT_EQ((int)pageStops.size(), found);

    std::vector<HWND> forward = TabCycle(false);
    std::vector<HWND> backward = TabCycle(true);
    ASSERT_FALSE(forward.empty());
    ASSERT_EQ(forward.back(), backward.back()) << "both cycles end where they started";

    auto at = std::find(forward.begin(), forward.end(), pageStops[0]);
    ASSERT_NE(forward.end(), at) << "Tab never reached the page";
    std::vector<HWND> seenInPage;
    std::rotate(forward.begin(), at, forward.end());
    for (HWND stop : forward)
        if (stop == page || IsChild(page, stop))
            seenInPage.push_back(stop);
    for (size_t i = 0; i < pageStops.size() || i < seenInPage.size(); i++)
        EXPECT_EQ(i < pageStops.size() ? Describe(pageStops[i]) : "(none)",
                  i < seenInPage.size() ? Describe(seenInPage[i]) : "(none)")
            << "stop " << i << " of the page under Tab";
    for (size_t i = 0; i < pageStops.size(); i++)
        EXPECT_EQ(pageStops[i], forward[i]) << "the page's stops follow one another";
    /* the sheet's own: its tabs, OK, Annulla and the Help button, not Applica while nothing changed */
    for (HWND own : { PropSheet_GetTabControl(sheet), Button(IDOK), Button(IDCANCEL), Button(IDHELP) })
        EXPECT_NE(forward.end(), std::find(forward.begin(), forward.end(), own)) << Describe(own);
    EXPECT_EQ(forward.end(), std::find(forward.begin(), forward.end(), Button(SHEET_APPLY_BUTTON)));

    std::vector<HWND> reversed(backward.rbegin(), backward.rend());
    auto back = std::find(reversed.begin(), reversed.end(), pageStops[0]);
    ASSERT_NE(reversed.end(), back) << "Shift+Tab never reached the page";
    std::rotate(reversed.begin(), back, reversed.end());
    EXPECT_EQ(forward, reversed) << "Shift+Tab goes the same way back";
    EXPECT_TRUE(DeviceWrites().empty());
}

TEST_F(PageSheetTest, CtrlTabLeavesThePageOnlyAfterAskingItAndComesBack)
{
    ASSERT_TRUE(TabTo(Item(IDC_BIN_LIST)));
    Key(VK_TAB, false, true);
    EXPECT_NE(page, PropSheet_GetCurrentPageHwnd(sheet));
    EXPECT_FALSE(IsWindowVisible(page));
    ASSERT_EQ(1u, g_answered.size());
    EXPECT_EQ((UINT)PAGE_MSG_QUERY, g_answered[0].message);
    EXPECT_EQ(1u, g_answered[0].answer);

    Key(VK_TAB, true, true);
    EXPECT_EQ(page, PropSheet_GetCurrentPageHwnd(sheet));
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(std::vector<UINT>({ PAGE_MSG_QUERY, PAGE_MSG_NOTICE }), Messages());
    EXPECT_EQ(0u, g_answered[1].answer) << "a notice leaves the word alone";
    EXPECT_TRUE(DeviceWrites().empty());
}

TEST_F(PageSheetTest, ApplicaWritesWhatTheKeysChangedAndOkClosesTheSheet)
{
    HWND apply = Button(SHEET_APPLY_BUTTON);
    EXPECT_FALSE(IsWindowEnabled(apply));
    /* the timeout one row down, mailbox 2 renamed by typing */
    ASSERT_TRUE(TabTo(Item(IDC_TIMEOUT_COMBO)));
    int timeoutRow = (int)SendMessageA(Item(IDC_TIMEOUT_COMBO), CB_GETCURSEL, 0, 0);
    Key(VK_DOWN);
    EXPECT_EQ(timeoutRow + 1, (int)SendMessageA(Item(IDC_TIMEOUT_COMBO), CB_GETCURSEL, 0, 0));
    EXPECT_TRUE(IsWindowEnabled(apply)) << "a row picked in a drop-down list is a change";
    ASSERT_TRUE(TabTo(Item(IDC_BIN_LIST)));
    Key(VK_DOWN);
    ASSERT_EQ(1, (int)SendMessageA(Item(IDC_BIN_LIST), LB_GETCURSEL, 0, 0));
    ASSERT_TRUE(TabTo(Item(IDC_NAME_EDIT)));
    Type("posta");
    EXPECT_EQ("posta", WindowText(Item(IDC_NAME_EDIT)));
    EXPECT_EQ("posta", ListText(Item(IDC_BIN_LIST), 1, false));

    ASSERT_TRUE(TabTo(apply));
    SimLogClear();
    Key(VK_SPACE);
    EXPECT_EQ(std::vector<UINT>({ PAGE_MSG_QUERY, PAGE_MSG_APPLY }), Messages(false));
    for (const Answered &a : g_answered)
        EXPECT_TRUE(a.handled && a.answer == (a.message == PAGE_MSG_NOTICE ? 0u : 1u)) << a.message;
    EXPECT_EQ(std::vector<std::string>({ "Applica" }), g_actions);
    std::vector<SimCall> writes = DeviceWrites();
    ExpectCalls({ kWriteAutoContinue, kWriteHcoConfig }, writes);
    if (writes.size() == 2) {
        EXPECT_EQ(1200, RecordOf<AutoContinueRecord>(writes[0]).timeoutSeconds);
        HcoConfigRecord config = RecordOf<HcoConfigRecord>(writes[1]);
        for (int i = 0; i < HCO_RECORD_BINS; i++) {
            SCOPED_TRACE(i);
            EXPECT_EQ(i == 2 ? 2u : 0u, config.bins[i].fieldMask) << "only mailbox 2 carries a name";
            if (i == 2)
                EXPECT_STREQ("posta", config.bins[i].name);
        }
    }
    EXPECT_FALSE(IsWindowEnabled(apply)) << "applied: nothing left to apply";
    EXPECT_EQ(sheet, PageSheet()) << "Applica keeps the sheet open";
    EXPECT_EQ(Button(IDOK), GetFocus()) << "the keys are not lost with the disabled Applica";

    /* Enter: OK, the page is asked, applies as told, and the sheet ends */
    g_answered.clear();
    Key(VK_RETURN);
    EXPECT_EQ(std::vector<UINT>({ PAGE_MSG_QUERY, PAGE_MSG_APPLY_AGAIN }), Messages(false));
    EXPECT_EQ(nullptr, PageSheet());
    EXPECT_FALSE(IsWindow(sheet));
    EXPECT_EQ(1, g_sheetsClosed);
}

TEST_F(PageSheetTest, EscapeClosesWithoutWritingAndHelpGoesWhereItBelongs)
{
    UiScript script;
    /* F1 stays the page's own context help for the control with the focus */
    ASSERT_TRUE(TabTo(Item(IDC_BIN_LIST)));
    Key(VK_F1);
    ASSERT_EQ(1u, script.helps.size());
    EXPECT_EQ((UINT)HELP_WM_HELP, script.helps[0].command);
    EXPECT_EQ(Item(IDC_BIN_LIST), script.helps[0].window);
    EXPECT_TRUE(g_answered.empty());

    /* the sheet's Help button runs the page's topic */
    ASSERT_TRUE(TabTo(Button(IDHELP)));
    Key(VK_SPACE);
    EXPECT_EQ(std::vector<UINT>({ PAGE_MSG_HELP }), Messages());
    ASSERT_EQ(2u, script.helps.size());
    EXPECT_EQ((UINT)HELP_CONTEXT, script.helps[1].command);

    /* a change, then Esc: the sheet is dismissed, the page told, nothing written */
    g_answered.clear();
    ASSERT_TRUE(TabTo(Item(IDC_TIMEOUT_COMBO)));
    Key(VK_DOWN);
    Key(VK_ESCAPE);
    EXPECT_EQ(std::vector<UINT>({ PAGE_MSG_SECOND_NOTICE }), Messages());
    EXPECT_EQ(nullptr, PageSheet());
    EXPECT_TRUE(DeviceWrites().empty());
}
