/* The offer of the page, the two dialog procedures' message tables, context help, and the
 * resources as the real dialog manager and string loader give them back. */
#include <gtest/gtest.h>
#include <cstddef>
#include <cstring>
#include "device_log.h"
#include "page_descriptor.h"
#include "resource.h"
#include "ui_driver.h"

namespace {

typedef DWORD(WINAPI *GetTabPagesFn)(DWORD, PageDescriptor *, DWORD *, DWORD);

std::vector<HCURSOR> g_cursors;
HCURSOR WINAPI RecordSetCursor(HCURSOR cursor)
{
    g_cursors.push_back(cursor);
    return SetCursor(cursor);
}

GetTabPagesFn GetTabPages()
{
    static bool patched = PatchImport(BinpanelModule(), "USER32.dll", "SetCursor", (void *)RecordSetCursor) != nullptr;
    EXPECT_TRUE(patched);
    return (GetTabPagesFn)BinpanelProc("AppletGetTabPages");
}

struct OfferCase {
    const char *what;
    void (*setup)(SimPrinter &);
    DWORD requestFlags;
    bool nullPages, nullCount;
    DWORD failOperation, failObject; /* a read made to fail with 0x4711 */
    DWORD result;
    bool offered;
    std::vector<ExpectedCall> calls;
};


TEST(AppletGetTabPages, OffersThePageOnlyForAPrinterWithTheAccessory)
{
    const OfferCase cases[] = {
        { "good printer", [](SimPrinter &) {}, 1, false, false, 0, 0, 0, true, { kOfferAccess, kOfferPeripheral, kOfferCapabilities } },
        { "other request bits set", [](SimPrinter &) {}, 0xFFFFFFFF, false, false, 0, 0, 0, true, { kOfferAccess, kOfferPeripheral, kOfferCapabilities } },
        { "null pages", [](SimPrinter &) {}, 1, true, false, 0, 0, 0xFFFF, false, {} },
        { "null count", [](SimPrinter &) {}, 1, false, true, 0, 0, 0xFFFF, false, {} },
        { "access refused", [](SimPrinter &p) { p.accessMask = 0xFFFFFFFE; }, 1, false, false, 0, 0, 0, false, { kOfferAccess } },
        { "request bit 0 clear", [](SimPrinter &) {}, 0xFFFFFFFE, false, false, 0, 0, 0, false, { kOfferAccess } },
        { "peripheral kind 10", [](SimPrinter &p) { p.peripheralKind = 10; }, 1, false, false, 0, 0, 0, false, { kOfferAccess, kOfferPeripheral } },
        { "peripheral kind 12", [](SimPrinter &p) { p.peripheralKind = 12; }, 1, false, false, 0, 0, 0, false, { kOfferAccess, kOfferPeripheral } },
        { "no capability flag", [](SimPrinter &p) { p.capabilityFlags = 0xDF; }, 1, false, false, 0, 0, 0, false, { kOfferAccess, kOfferPeripheral, kOfferCapabilities } },
        { "capability word 0", [](SimPrinter &p) { p.capabilityWord = 0; }, 1, false, false, 0, 0, 0, false, { kOfferAccess, kOfferPeripheral, kOfferCapabilities } },
        { "peripheral read fails", [](SimPrinter &) {}, 1, false, false, SIM_OP_PAL_GET, OBJ_PERIPHERAL_INFO, 0x4711, false, { kOfferAccess, kOfferPeripheral } },
        { "capabilities read fails", [](SimPrinter &) {}, 1, false, false, SIM_OP_PAL_GET, OBJ_OUTPUT_CAPABILITIES, 0x4711, false, { kOfferAccess, kOfferPeripheral, kOfferCapabilities } },
    };
    GetTabPagesFn getPages = GetTabPages();
    for (const OfferCase &c : cases) {
        SCOPED_TRACE(c.what);
        SimPrinter printer = DefaultPrinter();
        printer.device = 42;
        c.setup(printer);
        UsePrinters({ printer });
        if (c.failOperation)
            SimFailNext(c.failOperation, c.failObject, 1, 0x4711);
        g_cursors.clear();

        struct {
            BYTE before[16];
            PageDescriptor page;
            BYTE after[16];
        } slot;
        std::memset(&slot, 0xAB, sizeof slot);
        DWORD count = 5;
        DWORD result = getPages(42, c.nullPages ? nullptr : &slot.page, c.nullCount ? nullptr : &count, c.requestFlags);

        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.offered ? 6u : 5u, count);
        ExpectCalls(c.calls);
        for (BYTE b : slot.before)
            ASSERT_EQ(0xAB, b);
        for (BYTE b : slot.after)
            ASSERT_EQ(0xAB, b);
        if (c.offered) {
            EXPECT_EQ(sizeof(PageDescriptor), slot.page.descriptorSize);
            EXPECT_EQ(0u, slot.page.flags);
            EXPECT_EQ((HINSTANCE)BinpanelModule(), slot.page.instance);
            EXPECT_EQ(140u, slot.page.templateId);
            EXPECT_EQ(101u, slot.page.pageIconId);
            EXPECT_EQ(138u, slot.page.titleId);
            EXPECT_EQ((DLGPROC)BinpanelProc("HCOSheetProc"), slot.page.dialogProc);
            EXPECT_EQ(42, slot.page.deviceHandle);
            EXPECT_EQ(1u, slot.page.lastWord);
#ifdef _WIN64
            /* the pointer-sized record's padding: the host's bytes, or zeros, never what the
             * library's stack held */
            const BYTE *b = (const BYTE *)&slot.page;
            for (size_t i = offsetof(PageDescriptor, lastWord) + sizeof slot.page.lastWord; i < sizeof slot.page; i++)
                EXPECT_TRUE(b[i] == 0xAB || b[i] == 0) << "byte " << i << ": " << (int)b[i];
#endif
        } else {
            const BYTE *b = (const BYTE *)&slot.page;
            for (size_t i = 0; i < sizeof slot.page; i++)
                ASSERT_EQ(0xAB, b[i]) << "byte " << i << " of the slot was written";
        }
        /* the wait cursor, then the one shown before; nothing at all for bad pointers */
        if (c.nullPages || c.nullCount) {
            EXPECT_TRUE(g_cursors.empty());
        } else {
            ASSERT_EQ(2u, g_cursors.size());
            EXPECT_EQ(LoadCursorA(nullptr, IDC_WAIT), g_cursors[0]);
        }
    }
}

class PageMessages : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        page = CreatePage(TestFrame(), 1);
        ASSERT_NE(nullptr, page);
        SimLogClear();
    }
    void TearDown() override { DestroyWindow(page); }
    HWND page = nullptr;
};

TEST_F(PageMessages, HostMessagesAnswerAndApplyAsTheirTableSays)
{
    struct Row {
        UINT message;
        DWORD word;       /* the answer word afterwards, from 7 */
        bool applies;     /* the rename below is written */
    } rows[] = {
        { 1690, 1, true }, { 1691, 7, false }, { 1692, 1, true },
        { 1693, 7, false }, { 1694, 7, false }, { 1695, 1, false },
    };
    /* a changed name, so that an apply shows as one device write */
    UiScript ui;
    HWND edit = GetDlgItem(page, IDC_NAME_EDIT);
    SetFocus(edit);
    SetWindowTextA(edit, "Nuovo");
    SimLogClear();
    DLGPROC proc = (DLGPROC)BinpanelProc("HCOSheetProc");
    for (const Row &r : rows) {
        DWORD word = 7;
        SimLogClear();
        EXPECT_EQ(1, proc(page, r.message, 0, (LPARAM)&word)) << r.message;
        EXPECT_EQ(r.word, word) << r.message;
        EXPECT_EQ(r.applies ? 1u : 0u, DeviceWrites().size()) << r.message;
    }
    ASSERT_EQ(1u, ui.helps.size());
    EXPECT_EQ(page, ui.helps[0].window);
    EXPECT_EQ("ZORVOHCO.HLP", ui.helps[0].file);
    EXPECT_EQ((UINT)HELP_CONTEXT, ui.helps[0].command);
    EXPECT_EQ(2u, ui.helps[0].data);
    EXPECT_EQ(0, proc(page, WM_USER + 665, 0, 0));
    EXPECT_EQ(0, proc(page, WM_USER + 672, 0, 0));
    DLGPROC popup = (DLGPROC)BinpanelProc("HCOPopupProc");
    for (UINT message = 1690; message <= 1695; message++) {
        DWORD word = 7;
        EXPECT_EQ(0, popup(page, message, 0, (LPARAM)&word)) << message;
        EXPECT_EQ(7u, word);
    }
}

TEST_F(PageMessages, ApplyWithoutAnAnswerWordStillApplies)
{
    HWND edit = GetDlgItem(page, IDC_NAME_EDIT);
    SetFocus(edit);
    SetWindowTextA(edit, "Nuovo");
    SimLogClear();
    DLGPROC proc = (DLGPROC)BinpanelProc("HCOSheetProc");
    EXPECT_EQ(1, proc(page, 1690, 0, 0));
    EXPECT_EQ(1u, DeviceWrites().size());
    EXPECT_EQ(1, proc(page, 1692, 0, 0));
    EXPECT_EQ(1, proc(page, 1695, 0, 0));
    EXPECT_EQ(2u, DeviceWrites().size());
}

TEST_F(PageMessages, ContextHelpHandsTheTableToTheHelpSystem)
{
    UiScript ui;
    HWND list = GetDlgItem(page, IDC_BIN_LIST);
    HELPINFO info = { sizeof info, HELPINFO_WINDOW, IDC_BIN_LIST, list, 0, { 0, 0 } };
    DLGPROC proc = (DLGPROC)BinpanelProc("HCOSheetProc");
    EXPECT_EQ(1, proc(page, WM_HELP, 0, (LPARAM)&info));
    EXPECT_EQ(1, proc(page, WM_CONTEXTMENU, (WPARAM)list, MAKELPARAM(5, 5)));
    ASSERT_EQ(2u, ui.helps.size());
    EXPECT_EQ(list, ui.helps[0].window);
    EXPECT_EQ((UINT)HELP_WM_HELP, ui.helps[0].command);
    EXPECT_EQ((UINT)HELP_CONTEXTMENU, ui.helps[1].command);
    const DWORD expected[] = { 102, 7, 105, 7, 104, 7, 108, 12, 109, 13, 110, 14, 111, 15, 116, 16,
                               119, 16, 117, 16, 112, 17, 113, 18, 114, 19, 115, 19, 137, 20, 0, 0 };
    for (const HelpCall &h : ui.helps) {
        EXPECT_EQ("ZORVOHCO.HLP", h.file);
        const DWORD *table = (const DWORD *)h.data;
        for (size_t i = 0; i < sizeof expected / sizeof expected[0]; i++)
            ASSERT_EQ(expected[i], table[i]) << "HelpIdTable word " << i;
    }
}

TEST(PopupDialog, EndsWithTheButtonThatClosedIt)
{
    SimReset();
    const struct { int command; INT_PTR result; } cases[] = { { IDOK, 1 }, { IDCANCEL, 2 } };
    for (const auto &c : cases) {
        UiScript ui;
        EXPECT_EQ(c.result, RunStandAloneDialog([&](HWND dialog) { PostMessageA(dialog, WM_COMMAND, c.command, 0); }));
    }
}

/* ---- resources ---- */

INT_PTR CALLBACK Bare(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

struct ControlRow {
    int id;
    const char *cls;
    const char *text;
    DWORD style; /* the bits that matter, besides WS_CHILD | WS_VISIBLE */
    RECT dlu;
};

void ExpectControls(int templateId, const std::vector<ControlRow> &rows)
{
    HWND dialog = CreateDialogParamA(BinpanelModule(), MAKEINTRESOURCEA(templateId), TestFrame(), Bare, 0);
    ASSERT_NE(nullptr, dialog) << templateId;
    HWND child = GetWindow(dialog, GW_CHILD);
    for (size_t i = 0; i < rows.size(); i++, child = GetWindow(child, GW_HWNDNEXT)) {
        const ControlRow &r = rows[i];
        ASSERT_NE(nullptr, child) << "dialog " << templateId << " control " << i << " missing";
        char cls[64];
        GetClassNameA(child, cls, sizeof cls);
        EXPECT_EQ(r.id, GetDlgCtrlID(child)) << "dialog " << templateId << " position " << i;
        EXPECT_STRCASEEQ(r.cls, cls) << "control " << r.id;
        if (lstrcmpiA(r.cls, "Static") != 0 || !(r.style & SS_ICON))
            EXPECT_EQ(std::string(r.text), WindowText(child)) << "control " << r.id;
        DWORD style = GetWindowLongA(child, GWL_STYLE);
        EXPECT_EQ(r.style, style & r.style) << "control " << r.id;
        if (r.id == IDC_BIN_LIST || r.id == IDC_NAME_EDIT)
            EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) << r.id;
        RECT expected = r.dlu; /* x, y, width, height: the dialog manager maps each alike */
        MapDialogRect(dialog, &expected);
        RECT got;
        GetWindowRect(child, &got);
        MapWindowPoints(nullptr, dialog, (POINT *)&got, 2);
        EXPECT_EQ(expected.left, got.left) << "control " << r.id;
        EXPECT_EQ(expected.top, got.top) << "control " << r.id;
        EXPECT_EQ(expected.right, got.right - got.left) << "control " << r.id;
    }
    EXPECT_EQ(nullptr, child) << "dialog " << templateId << " has more controls";
    DestroyWindow(dialog);
}

/* In a 3-D dialog the dialog manager turns WS_BORDER into a client edge, and the list
 * shows its scroll bar only when it needs one: both are checked apart. */
const DWORD kList = LBS_NOTIFY | WS_TABSTOP;
const DWORD kDrop = CBS_DROPDOWNLIST | WS_TABSTOP; /* the combo box hands WS_VSCROLL on to its list */
const DWORD kRadio1 = BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP;

TEST(Resources, PageTemplateControlsInTabOrder)
{
    ExpectControls(140, {
        { 102, "Button", "Suggerimenti", BS_GROUPBOX, { 8, 0, 332, 54 } },
        { 104, "Static", "", SS_ICON, { 15, 17, 18, 20 } },
        { 105, "Static", "", WS_GROUP, { 43, 10, 290, 40 } },
        { 108, "Button", "Modalit\xE0", BS_GROUPBOX, { 8, 55, 138, 44 } },
        { 109, "Button", "Mailbox", kRadio1, { 15, 65, 100, 10 } },
        { 110, "Button", "Separatore dei lavori di stampa", BS_AUTORADIOBUTTON, { 15, 76, 111, 10 } },
        { 111, "Button", "Carrello", BS_AUTORADIOBUTTON, { 15, 87, 100, 10 } },
        { 116, "Button", "Continuazione automatica dell'output", BS_GROUPBOX | WS_GROUP, { 8, 104, 138, 34 } },
        { 119, "Static", "", SS_ICON, { 14, 112, 18, 20 } },
        { 117, "ComboBox", "", kDrop, { 38, 115, 106, 0 } },
        { 112, "Button", "Configurazione della mailbox", BS_GROUPBOX | WS_GROUP, { 149, 55, 191, 123 } },
        { 113, "ListBox", "", kList, { 157, 70, 80, 75 } },
        { 114, "Static", "Nome", WS_GROUP, { 157, 150, 80, 8 } },
        { 115, "Edit", "", WS_TABSTOP, { 157, 159, 80, 12 } },
        { 137, "ZorvoZarHCOBitmap", "", 0, { 251, 70, 79, 99 } },
        { 118, "Button", "Destinazione della carta", BS_GROUPBOX | WS_GROUP, { 8, 143, 138, 34 } },
        { 120, "Static", "", SS_ICON, { 13, 152, 18, 20 } },
        { 122, "ComboBox", "", kDrop, { 37, 157, 107, 0 } },
    });
}

TEST(Resources, StandAloneTemplateControlsInTabOrder)
{
    ExpectControls(151, {
        { 1, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, { 6, 129, 50, 14 } },
        { 2, "Button", "Annulla", WS_TABSTOP, { 64, 129, 50, 14 } },
        { 152, "Button", "?", WS_TABSTOP, { 122, 129, 50, 14 } },
        { 108, "Button", "Modalit\xE0", BS_GROUPBOX, { 6, 2, 139, 44 } },
        { 109, "Button", "Mailbox", kRadio1, { 10, 12, 100, 10 } },
        { 110, "Button", "Separatore delle operazioni di stampa", BS_AUTORADIOBUTTON, { 10, 23, 129, 10 } },
        { 111, "Button", "Carrello", BS_AUTORADIOBUTTON, { 10, 34, 100, 10 } },
        { 116, "Button", "Continuazione automatica dell'output", BS_GROUPBOX | WS_GROUP, { 6, 50, 139, 34 } },
        { 119, "Static", "", SS_ICON, { 12, 59, 18, 20 } },
        { 117, "ComboBox", "", kDrop, { 36, 62, 105, 0 } },
        { 112, "Button", "Configurazione della mailbox", BS_GROUPBOX | WS_GROUP, { 147, 2, 190, 121 } },
        { 113, "ListBox", "", kList, { 154, 16, 80, 75 } },
        { 114, "Static", "Nome", WS_GROUP, { 154, 96, 80, 8 } },
        { 115, "Edit", "", ES_AUTOHSCROLL | WS_TABSTOP, { 154, 105, 80, 12 } },
        { 137, "ZorvoZarHCOBitmap", "", 0, { 248, 16, 79, 99 } },
        { 118, "Button", "Destinazione della carta", BS_GROUPBOX | WS_GROUP, { 6, 89, 139, 34 } },
        { 120, "Static", "", SS_ICON, { 12, 99, 18, 20 } },
        { 122, "ComboBox", "", kDrop, { 36, 102, 105, 0 } },
    });
    HWND dialog = CreateDialogParamA(BinpanelModule(), MAKEINTRESOURCEA(151), TestFrame(), Bare, 0);
    EXPECT_EQ("Output ad alta capacit\xE0", WindowText(dialog));
    EXPECT_TRUE((GetWindowLongA(dialog, GWL_STYLE) & DS_CONTEXTHELP) ||
                (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_CONTEXTHELP));
    DestroyWindow(dialog);
    HWND page = CreateDialogParamA(BinpanelModule(), MAKEINTRESOURCEA(140), TestFrame(), Bare, 0);
    /* a name that fits the bin can be typed in full; the page is a control of its host */
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(page, 115), GWL_STYLE) & ES_AUTOHSCROLL);
    EXPECT_TRUE(GetWindowLongA(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_TRUE(GetWindowLongA(page, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(GetWindowLongA(page, GWL_STYLE) & WS_CAPTION);
    DestroyWindow(page);
}

TEST(Resources, StringsAreTheSystemsOwnCodePage1252Texts)
{
    const struct { UINT id; const char *text; } strings[] = {
        { 106, "Modalit\xE0: imposta la modalit\xE0 dell'output ad alta capacit\xE0. Continuazione automatica dell'output: "
               "seleziona il timeout della continuaz. autom. dell'output di stampa. Il timeout varia tra \"Nessun timeout\" "
               "e \"Timeout illimitato\"." },
        { 107, " Configurazione della mailbox: se la modalit\xE0 HCO \xE8 la modalit\xE0 Mailbox, assegnare opzionalmente "
               "dei nomi a ciascuna mailbox.  Selezionare la mailbox, poi digitare il nuovo nome nella casella di "
               "modifica in basso." },
        { 120, "Nessun timeout" }, { 121, "5 minuti" }, { 122, "10 minuti" }, { 123, "20 minuti" },
        { 124, "30 minuti" }, { 125, "45 minuti" }, { 126, "1 ora" }, { 127, "Timeout illimitato" },
        { 138, "HCO" },
        { 159, "Si desidera mettere la stampante Off line e cambiare la modalit\xE0 dell'output ad alta capacit\xE0?" },
        { 160, "Cambia la modalit\xE0 HCO" },
        { 161, "Errore di comunicazione. Impossibile mettere la stampante Off line. Riprovare pi\xF9 tardi." },
        { 162, "Si desidera passare dalla modalit\xE0 di output ad alta capacit\xE0 alla modalit\xE0 mailbox?" },
        { 163, "Si desidera passare dalla modalit\xE0 di output ad alta capacit\xE0 alla modalit\xE0 carrello?" },
        { 164, "Si desidera passare dalla modalit\xE0 di output ad alta capacit\xE0 alla modalit\xE0 separatore delle "
               "operazioni di stampa?" },
        { 165, "Impossibile spegnere e riaccendere la stampante. Recarsi presso la stampante e spegnerla ed "
               "accenderla per rendere effettiva la nuova modalit\xE0." },
        { 167, "Impossibile reimpostare i nomi degli scomparti di uscita." },
        { 169, "Errore di comunicazione. Impossibile cambiare la modalit\xE0 HCO." },
        { 171, "MAILBOX 1" }, { 172, "MAILBOX 2" }, { 173, "MAILBOX 3" }, { 174, "MAILBOX 4" },
        { 175, "MAILBOX 5" }, { 176, "MAILBOX 6" }, { 177, "MAILBOX 7" }, { 178, "MAILBOX 8" },
        { 180, "CARRELLO" },
        { 181, "SEPARATORE DELLE OPERAZIONI DI STAMPA" },
        { 182, "Scomp. testo verso l'alto" },
        { 183, "Impossibile modificare modalit\xE0 HCO" },
        { 186, "Scomp. con uscita superiore" },
    };
    for (const auto &s : strings) {
        char text[1024];
        int n = LoadStringA(BinpanelModule(), s.id, text, sizeof text);
        EXPECT_EQ((int)strlen(s.text), n) << "string " << s.id;
        EXPECT_EQ(std::string(s.text), std::string(text, n > 0 ? n : 0)) << "string " << s.id;
    }
    char text[8];
    EXPECT_EQ(0, LoadStringA(BinpanelModule(), 166, text, sizeof text)) << "no other strings";
}

TEST(Resources, EveryPictureLoads)
{
    HMODULE m = BinpanelModule();
    std::vector<int> icons = { 101, 103, 118 };
    for (int id = 187; id <= 194; id++)
        icons.push_back(id);
    for (int id = 198; id <= 208; id++)
        icons.push_back(id);
    for (int id : icons)
        EXPECT_NE(nullptr, LoadIconA(m, MAKEINTRESOURCEA(id))) << "icon " << id;
    EXPECT_EQ(nullptr, LoadIconA(m, MAKEINTRESOURCEA(121))) << "icon 121 stays empty";
    for (int id = 128; id <= 136; id++) {
        HBITMAP bitmap = LoadBitmapA(m, MAKEINTRESOURCEA(id));
        ASSERT_NE(nullptr, bitmap) << "bitmap " << id;
        BITMAP info;
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(96, info.bmWidth);
        EXPECT_EQ(154, info.bmHeight);
        DeleteObject(bitmap);
    }
    EXPECT_NE(nullptr, LoadCursorA(m, MAKEINTRESOURCEA(150)));
}

} // namespace
