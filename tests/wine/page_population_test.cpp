/* The page opened against printers of every kind: what the load reads, and what the
 * page then shows in its radios, lists, picture and destination list. */
#include "page_fixture.h"

namespace {

const ExpectedCall kOffer[] = { kOfferAccess, kOfferPeripheral, kOfferCapabilities };

const std::vector<std::string> kDefaultNames = { "MAILBOX 1", "MAILBOX 2", "MAILBOX 3", "MAILBOX 4",
                                                 "MAILBOX 5", "MAILBOX 6", "MAILBOX 7", "MAILBOX 8" };

std::vector<ExpectedCall> WithOffer(std::vector<ExpectedCall> load)
{
    std::vector<ExpectedCall> all(std::begin(kOffer), std::end(kOffer));
    all.insert(all.end(), load.begin(), load.end());
    return all;
}

ComponentListRecord Components(std::vector<std::pair<const char *, DWORD>> entries, DWORD count)
{
    ComponentListRecord list = {};
    for (size_t i = 0; i < entries.size(); i++) {
        lstrcpynA(list.entries[i].partNumber, entries[i].first, 80);
        list.entries[i].componentId = entries[i].second;
    }
    list.componentCount = count;
    return list;
}

struct LoadCase {
    const char *what;
    void (*setup)(SimPrinter &);
    void (*after)();              /* faults or raw records, once the printer exists */
    std::vector<ExpectedCall> calls;
    int radio;
    std::vector<std::string> names;
    int timeoutRow;
    bool populated;
};

TEST_F(PageTest, LoadReadsThePrinterAndThePageShowsIt)
{
    const std::vector<std::string> deviceNames = { "Amministrazione", "Contabilit\xE0", "Ufficio tecnico", "Direzione",
                                                   "Magazzino", "Vendite", "Ricerca", "Segreteria" };
    const std::vector<ExpectedCall> full = { kReadAutoContinue, kReadOutputCapabilities, kReadComponentList, kReadHcoConfig, kReadPaperDestination };
    const std::vector<std::string> carrello(8, "CARRELLO"), separatore(8, "SEPARATORE DELLE");
    const LoadCase cases[] = {
        { "mailbox printer", [](SimPrinter &) {}, [] {}, full, IDC_MODE_MAILBOX, deviceNames, 2, true },
        { "stacker printer", [](SimPrinter &p) { p.mode = 1; }, [] {}, full, IDC_MODE_STACKER, carrello, 2, true },
        { "job separator printer", [](SimPrinter &p) { p.mode = 3; }, [] {}, full, IDC_MODE_JOB_SEPARATOR, separatore, 2, true },
        { "mode 0 is job separator", [](SimPrinter &p) { p.mode = 0; }, [] {}, full, IDC_MODE_JOB_SEPARATOR, separatore, 2, true },
        { "mode 4 is job separator", [](SimPrinter &p) { p.mode = 4; }, [] {}, full, IDC_MODE_JOB_SEPARATOR, separatore, 2, true },
        { "timeout -1", [](SimPrinter &p) { p.timeoutSeconds = -1; }, [] {}, full, IDC_MODE_MAILBOX, deviceNames, 7, true },
        { "timeout 2701", [](SimPrinter &p) { p.timeoutSeconds = 2701; }, [] {}, full, IDC_MODE_MAILBOX, deviceNames, 6, true },
        /* the index the opening before left (2701 s) stays */
        { "timeout read fails", [](SimPrinter &) {}, [] { FailNext(kReadAutoContinue, 1, 5); },
          full, IDC_MODE_MAILBOX, deviceNames, 6, true },
        { "capabilities read fails", [](SimPrinter &) {}, [] { FailNext(kReadOutputCapabilities, 1, 0xFFFF); },
          { kReadAutoContinue, kReadOutputCapabilities, kReadPaperDestination }, IDC_MODE_MAILBOX, kDefaultNames, 2, true },
        { "component list read fails", [](SimPrinter &p) { p.mode = 1; }, [] { FailNext(kReadComponentList, 1, 9); },
          { kReadAutoContinue, kReadOutputCapabilities, kReadComponentList, kReadPaperDestination }, IDC_MODE_MAILBOX, kDefaultNames, 2, true },
        { "empty component list", [](SimPrinter &) {},
          [] { ComponentListRecord l = Components({ { "K0417Z", 0x101 } }, 0); SimPokeObject(1, OBJ_COMPONENT_LIST, &l, sizeof l); },
          { kReadAutoContinue, kReadOutputCapabilities, kReadComponentList, kReadPaperDestination }, IDC_MODE_MAILBOX, kDefaultNames, 2, true },
        { "configuration read fails", [](SimPrinter &p) { p.mode = 3; }, [] { FailNext(kReadHcoConfig, 1, 0xFFFF); },
          full, IDC_MODE_MAILBOX, kDefaultNames, 2, true },
        { "no accessory among the components", [](SimPrinter &p) { p.hasAccessory = 0; }, [] {},
          { kReadAutoContinue, kReadOutputCapabilities, kReadComponentList }, 0, {}, -1, false },
    };
    for (const LoadCase &c : cases) {
        SCOPED_TRACE(c.what);
        SimPrinter printer = DefaultPrinter();
        c.setup(printer);
        printer.device = 1;
        UsePrinters({ printer });
        c.after();
        HWND opened = CreatePage(TestFrame(), 1);
        ASSERT_NE(nullptr, opened);
        ExpectCalls(WithOffer(c.calls));
        EXPECT_EQ(c.names, ListRows(GetDlgItem(opened, IDC_BIN_LIST), false));
        EXPECT_EQ(c.timeoutRow, (int)SendDlgItemMessageA(opened, IDC_TIMEOUT_COMBO, CB_GETCURSEL, 0, 0));
        for (int radio : { IDC_MODE_MAILBOX, IDC_MODE_JOB_SEPARATOR, IDC_MODE_STACKER })
            EXPECT_EQ(radio == c.radio, IsDlgButtonChecked(opened, radio) == BST_CHECKED) << "radio " << radio;
        EXPECT_EQ(c.populated, !WindowText(GetDlgItem(opened, IDC_HINTS_TEXT)).empty());
        /* never left on a disabled control: the name edit in mailbox mode, else the checked radio */
        if (c.populated)
            EXPECT_EQ(GetDlgItem(opened, c.radio == IDC_MODE_MAILBOX ? IDC_NAME_EDIT : c.radio), GetFocus());
        DestroyWindow(opened);
    }
}

TEST_F(PageTest, TheFirstOfSeveralMatchingComponentsIsUsedAndNothingBeyondSix)
{
    const struct { const char *what; ComponentListRecord list; DWORD component; } cases[] = {
        { "second and fourth match", Components({ { "A", 7 }, { "CK0417Z", 0x101 }, { "B", 8 }, { "K0417Z", 0x102 } }, 4), 0x101 },
        { "count above six", Components({ { "A", 7 }, { "B", 8 }, { "C", 9 }, { "D", 10 }, { "E", 11 }, { "xK0417Z", 0x101 } }, 200), 0x101 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        UsePrinters({ DefaultPrinter() });
        SimPokeObject(1, OBJ_COMPONENT_LIST, &c.list, sizeof c.list);
        HWND opened = CreatePage(TestFrame(), 1);
        std::vector<SimCall> calls = DeviceCalls();
        bool read = false;
        for (const SimCall &call : calls)
            if (call.operation == SIM_OP_CAL_GET_COMPONENT) {
                EXPECT_EQ(c.component, call.component);
                read = true;
            }
        EXPECT_TRUE(read);
        DestroyWindow(opened);
    }
}

TEST_F(PageTest, NamesFromThePrinterAreFittedAndNeverReadPastTheirField)
{
    Open(DefaultPrinter());
    DestroyWindow(page);
    HcoConfigRecord config;
    SimPeekObject(1, OBJ_HCO_CONFIG, &config, sizeof config);
    memset(config.bins[1].name, 'X', sizeof config.bins[1].name); /* no terminator */
    lstrcpyA(config.bins[2].name, "Ufficio amministrazione centrale");
    lstrcpyA(config.bins[3].name, "UFF 1 ");
    SimPokeObject(1, OBJ_HCO_CONFIG, &config, sizeof config);
    page = CreatePage(TestFrame(), 1);
    std::vector<std::string> rows = BinRows();
    EXPECT_EQ(std::string(19, 'X'), rows[0]);
    EXPECT_EQ("Ufficio amministraz", rows[1]);
    EXPECT_EQ("UFF 1 ", rows[2]);
}

struct StateCase {
    DWORD mode;
    int radio;
    bool mailboxEnabled;
    int picture;
    std::vector<std::string> destinations;
};

TEST_F(PageTest, EachModeOpensInItsState)
{
    const StateCase cases[] = {
        { 2, IDC_MODE_MAILBOX, true, 129,
          { "Scomp. con uscita superiore", "Scomp. testo verso l'alto", "Amministrazione", "Contabilit\xE0",
            "Ufficio tecnico", "Direzione", "Magazzino", "Vendite", "Ricerca", "Segreteria" } },
        { 1, IDC_MODE_STACKER, false, 128, { "Scomp. con uscita superiore", "Scomp. testo verso l'alto", "CARRELLO" } },
        { 3, IDC_MODE_JOB_SEPARATOR, false, 128,
          { "Scomp. con uscita superiore", "Scomp. testo verso l'alto", "SEPARATORE DELLE OPERAZIONI DI STAMPA" } },
    };
    for (const StateCase &c : cases) {
        SCOPED_TRACE(c.mode);
        SimPrinter printer = DefaultPrinter();
        printer.mode = c.mode;
        Open(printer);
        for (int radio : { IDC_MODE_MAILBOX, IDC_MODE_JOB_SEPARATOR, IDC_MODE_STACKER })
            EXPECT_EQ(radio == c.radio, Checked(radio)) << radio;
        for (int id : { IDC_MAILBOX_GROUP, IDC_BIN_LIST, IDC_NAME_LABEL, IDC_NAME_EDIT, IDC_BIN_PICTURE })
            EXPECT_EQ(c.mailboxEnabled, Enabled(id)) << id;
        EXPECT_EQ(c.picture, LastPictureId());
        EXPECT_EQ(c.destinations, DestinationRows());
        EXPECT_EQ(BinRows()[0], WindowText(Item(IDC_NAME_EDIT)));
        EXPECT_EQ(0, Selected(IDC_BIN_LIST, false));
        EXPECT_EQ(0, (int)SendMessageA(Item(IDC_BIN_LIST), LB_GETTOPINDEX, 0, 0));
        std::string hints = WindowText(Item(IDC_HINTS_TEXT));
        EXPECT_EQ(0u, hints.find("Modalit\xE0: imposta"));
        EXPECT_NE(std::string::npos, hints.find("\"Timeout illimitato\". Configurazione della mailbox:"));
        DestroyWindow(page);
        page = nullptr;
    }
}

struct DestinationCase {
    const char *what;
    DWORD mode;
    DWORD destination;
    void (*names)(SimPrinter &);
    bool failRead;
    int row;
    int icon;
};

TEST_F(PageTest, DestinationListSelectsTheReportedBin)
{
    const DestinationCase cases[] = {
        { "top output bin", 2, 20, [](SimPrinter &) {}, false, 0, 199 },
        { "1 reads as the top output bin", 2, 1, [](SimPrinter &) {}, false, 0, 199 },
        { "face-up bin", 1, 3, [](SimPrinter &) {}, false, 1, 200 },
        { "single output in stacker mode", 1, 4, [](SimPrinter &) {}, false, 2, 198 },
        { "single output in job separator mode", 3, 4, [](SimPrinter &) {}, false, 2, 198 },
        { "mailbox 6", 2, 9, [](SimPrinter &) {}, false, 7, 206 },
        { "two mailboxes with the number", 2, 30,
          [](SimPrinter &p) { p.binNumbers[2] = 30; p.binNumbers[5] = 30; }, false, 6, 205 },
        { "a mailbox named like the start of row 0", 2, 31,
          [](SimPrinter &p) { lstrcpyA(p.binNames[4], "Scomp."); p.binNumbers[4] = 31; }, false, 0, 204 },
        { "unknown destination", 1, 7, [](SimPrinter &) {}, false, -1, 0 },
        /* the model keeps the 7 of the opening before: mailbox 4's number in this mode */
        { "failed read keeps the last destination", 2, 20, [](SimPrinter &) {}, true, 5, 204 },
    };
    for (const DestinationCase &c : cases) {
        SCOPED_TRACE(c.what);
        SimPrinter printer = DefaultPrinter();
        printer.mode = c.mode;
        printer.destination = c.destination;
        c.names(printer);
        printer.device = 1;
        UsePrinters({ printer });
        if (c.failRead)
            FailNext(kReadPaperDestination, 2, 0xFFFF);
        page = CreatePage(TestFrame(), 1);
        EXPECT_EQ(c.row, Selected(IDC_DESTINATION_COMBO, true));
        EXPECT_EQ(c.icon, ShownIconId(page, IDC_DESTINATION_ICON));
        DestroyWindow(page);
        page = nullptr;
    }
}

/* Every row of the opened destination list can be read whole, the job separator's long
 * name included. */
TEST_F(PageTest, TheOpenedDestinationListIsAsWideAsItsWidestRow)
{
    for (DWORD mode : { HCO_MODE_JOB_SEPARATOR, HCO_MODE_STACKER, HCO_MODE_MAILBOX }) {
        SCOPED_TRACE(mode);
        SimPrinter printer = DefaultPrinter();
        printer.mode = mode;
        Open(printer);
        HWND combo = Item(IDC_DESTINATION_COMBO);
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        COMBOBOXINFO info = { sizeof info };
        ASSERT_TRUE(GetComboBoxInfo(combo, &info));
        RECT client;
        GetClientRect(info.hwndList, &client);
        int room = client.right; /* a scroll bar on show is outside the client area */
        HDC dc = GetDC(info.hwndList);
        HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(combo, WM_GETFONT, 0, 0));
        for (const std::string &row : DestinationRows()) {
            SIZE extent;
            GetTextExtentPoint32A(dc, row.c_str(), (int)row.size(), &extent);
            EXPECT_LE(extent.cx, room) << "\"" << row << "\"";
        }
        SelectObject(dc, old);
        ReleaseDC(info.hwndList, dc);
        SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
        DestroyWindow(page);
        page = nullptr;
    }
}

TEST_F(PageTest, FailedDestinationReadAtTheFirstOpeningShowsTheTopOutputBin)
{
    SimPrinter printer = DefaultPrinter();
    printer.device = 1;
    UsePrinters({ printer });
    FailNext(kReadPaperDestination, 2, 0xFFFF);
    page = CreatePage(TestFrame(), 1);
    EXPECT_EQ(0, Selected(IDC_DESTINATION_COMBO, true));
    EXPECT_EQ(199, ShownIconId(page, IDC_DESTINATION_ICON));
}

TEST_F(PageTest, StandAloneDialogBeforeAnyPageReadsWithHandleZero)
{
    UiScript ui;
    std::vector<std::string> rows;
    int timeoutRow = -1, radio = -1;
    bool hasHints = true;
    EXPECT_EQ(2, RunStandAloneDialog([&](HWND dialog) {
        rows = ListRows(GetDlgItem(dialog, IDC_BIN_LIST), false);
        timeoutRow = (int)SendDlgItemMessageA(dialog, IDC_TIMEOUT_COMBO, CB_GETCURSEL, 0, 0);
        radio = IsDlgButtonChecked(dialog, IDC_MODE_MAILBOX);
        hasHints = GetDlgItem(dialog, IDC_HINTS_TEXT) != nullptr;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }));
    std::vector<SimCall> calls = DeviceCalls();
    ExpectCalls({ kReadOutputCapabilities, kReadPaperDestination }, calls);
    for (const SimCall &c : calls)
        EXPECT_EQ(0u, c.device);
    EXPECT_EQ(kDefaultNames, rows);
    EXPECT_EQ(7, timeoutRow);
    EXPECT_EQ(BST_CHECKED, radio);
    EXPECT_FALSE(hasHints);
}

TEST_F(PageTest, StandAloneDialogWorksOnTheLastPagesPrinter)
{
    SimPrinter printer = DefaultPrinter();
    printer.mode = 1;
    Open(printer);
    DestroyWindow(page);
    page = nullptr;
    SimLogClear();
    UiScript ui;
    std::vector<std::string> rows;
    RunStandAloneDialog([&](HWND dialog) {
        rows = ListRows(GetDlgItem(dialog, IDC_BIN_LIST), false);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(std::vector<std::string>(8, "CARRELLO"), rows);
    for (const SimCall &c : DeviceCalls())
        EXPECT_EQ(1u, c.device);
}

} // namespace
