/* The session runner: two printers from the seed, the page opened in the main host, each
 * action delivered through the driver and the model told what happened, then the screen
 * compared with what it must show. */
#include "session.h"

#include <windows.h>
#include <cstdio>
#include <cstring>
#include "devobj_sim.h"
#include "driver.h"
#include "resource.h"
#include "watchdog.h"

namespace {

/* the accessory's component in each of the two printers */
const DWORD kComponents[3] = { 0, 0x101, 0x2A7 };

SimPrinter RandomPrinter(Rng &r, DWORD device)
{
    SimPrinter p;
    SimDefaultPrinter(&p);
    p.device = device;
    p.componentId = kComponents[device];
    p.hasAccessory = r.Chance(95);
    p.mode = r.Chance(60) ? HCO_MODE_MAILBOX : (DWORD)r.Below(5);
    p.online = r.Chance(70);
    static const LONG timeouts[] = { -1, 0, 300, 600, 450, 3600, 5000, -77 };
    p.timeoutSeconds = timeouts[r.Below(8)];
    static const DWORD destinations[] = { 20, 1, 3, 4, 6, 11, 7 };
    p.destination = destinations[r.Below(7)];
    for (int k = 0; k < HCO_RECORD_BINS; k++) {
        if (r.Chance(40)) {
            std::string name = RandomText(r, 31);
            memset(p.binNames[k], 0, sizeof p.binNames[k]);
            memcpy(p.binNames[k], name.data(), name.size());
        }
    }
    return p;
}

void PutEntry(ComponentListRecord &list, int at, const char *part, DWORD id)
{
    ComponentEntry &e = list.entries[at];
    memset(&e, 0, sizeof e);
    memcpy(e.partNumber, part, strlen(part));
    e.componentId = id;
}

/* The component lists a printer may report: 0 as built, 1 empty, 2 without the accessory,
 * 3 another entry naming the part number first, 4 more entries than the record holds with
 * the accessory in its last, 5 the accessory beyond the count; 6 no accessory in the
 * capabilities at all. */
ComponentListRecord ComponentListOf(int kind, DWORD component)
{
    ComponentListRecord list;
    memset(&list, 0, sizeof list);
    const char accessory[] = "C" HCO_PART_NUMBER "-HCO 8-BIN MAILBOX";
    switch (kind) {
    case 1:
        PutEntry(list, 0, accessory, component);
        list.componentCount = 0;
        break;
    case 2:
        PutEntry(list, 0, "C3166-60001 DUPLEX UNIT", 0x100);
        PutEntry(list, 1, "C4782-60002 ENVELOPE FEEDER", 0x102);
        list.componentCount = 2;
        break;
    case 3:
        PutEntry(list, 0, "C3166-60001 DUPLEX UNIT", 0x100);
        PutEntry(list, 1, HCO_PART_NUMBER "-OLD", 0x3FF);
        PutEntry(list, 2, accessory, component);
        list.componentCount = 3;
        break;
    case 4:
    case 5:
        for (int i = 0; i < 5; i++)
            PutEntry(list, i, "C3166-60001 DUPLEX UNIT", 0x100 + (DWORD)i);
        PutEntry(list, 5, accessory, component);
        list.componentCount = kind == 4 ? 9 : 5;
        break;
    default:
        PutEntry(list, 0, "C3166-60001 DUPLEX UNIT", 0x100);
        PutEntry(list, 1, accessory, component);
        PutEntry(list, 2, "C4782-60002 ENVELOPE FEEDER", 0x102);
        list.componentCount = 3;
        break;
    }
    return list;
}

struct Session {
    unsigned seed;
    const std::vector<Action> &actions;
    Model model;
    DWORD device = 1; /* the main page's printer */
    std::string failure;
    OutputCapabilitiesRecord capabilities[3];
    const ChangePlan *second = nullptr;
    bool trace = getenv("PAGE_ACTIONS_TRACE") != nullptr;

    Session(unsigned s, const std::vector<Action> &a) : seed(s), actions(a) {}

    void Fail(const std::string &what)
    {
        if (failure.empty())
            failure = what;
    }

    /* The model hears what happened, then each open window is compared with it. */
    void StepAndCheck()
    {
        std::vector<Event> events = TakeEvents();
        if (!failure.empty())
            return;
        if (!model.Step(events)) {
            failure = model.Failure();
            return;
        }
        for (int window = MAIN_WINDOW; window <= SECOND_WINDOW; window++)
            if (PageIn(window) && !model.Check(window, ReadScreen(window)))
                failure = model.Failure();
    }

    HWND Item(int window, int id) { return PageIn(window) ? GetDlgItem(PageIn(window), id) : nullptr; }

    template <typename R, typename F> void Change(DWORD object, F change)
    {
        R r;
        if (SimPeekObject(device, object, &r, sizeof r) == 0) {
            change(r);
            SimPokeObject(device, object, &r, sizeof r);
        }
    }

    void PrinterEvent(const Action &x)
    {
        switch (x.kind) {
        case P_NAME:
            Change<HcoConfigRecord>(OBJ_HCO_CONFIG, [&](HcoConfigRecord &r) {
                memset(r.bins[x.a].name, 0, sizeof r.bins[x.a].name);
                memcpy(r.bins[x.a].name, x.text.data(), x.text.size() < 32 ? x.text.size() : 32);
            });
            break;
        case P_MODE: Change<HcoConfigRecord>(OBJ_HCO_CONFIG, [&](HcoConfigRecord &r) { r.mode = (DWORD)x.a; }); break;
        case P_TIMEOUT:
            Change<AutoContinueRecord>(OBJ_AUTO_CONTINUE, [&](AutoContinueRecord &r) { r.timeoutSeconds = x.a; });
            break;
        case P_DESTINATION:
            Change<PaperDestinationRecord>(OBJ_PAPER_DESTINATION, [&](PaperDestinationRecord &r) { r.destination = (DWORD)x.a; });
            break;
        case P_ONLINE: Change<OnlineStateRecord>(OBJ_ONLINE_STATE, [&](OnlineStateRecord &r) { r.onlineState = (DWORD)x.a; }); break;
        case P_FAIL: InjectFailure((DWORD)x.a, (DWORD)x.b); break;
        case P_DELAY: SimSetDelay((DWORD)x.a); break;
        case P_COMPONENTS: {
            OutputCapabilitiesRecord caps = capabilities[device];
            if (x.a == 6)
                caps.capabilityFlags &= (BYTE)~CAPABILITY_FLAG_HCO;
            SimPokeObject(device, OBJ_OUTPUT_CAPABILITIES, &caps, sizeof caps);
            if (x.a != 6) {
                ComponentListRecord list = ComponentListOf(x.a, kComponents[device]);
                SimPokeObject(device, OBJ_COMPONENT_LIST, &list, sizeof list);
            }
            break;
        }
        }
    }

    /* The host's answer word: 1 after the apply and query messages, untouched otherwise. */
    void HostMessage(int window, UINT message, bool withWord)
    {
        DWORD word = 0xABCD;
        SendHostMessage(window, message, withWord, &word);
        Settle();
        bool answers = message == 1690 || message == 1692 || message == 1695;
        if (withWord && word != (answers ? 1u : 0xABCDu))
            Fail("host message " + std::to_string(message) + " left the word at " + std::to_string(word));
    }

    /* Enter and Esc reach the host's buttons: apply, or close the page and open it again. */
    void HostCommand(int window, int command)
    {
        if (!PageIn(window))
            return;
        if (command == IDOK) {
            HostMessage(window, 1690, true);
        } else {
            ClosePage(window);
            OpenPage(window, window == MAIN_WINDOW ? device : (device == 1 ? 2 : 1));
        }
    }

    /* A selection made on the bin picture while the name edit has the focus puts the bin's
     * own name into the focused edit (the list takes the focus itself when clicked). */
    void PerhapsRenamed(int window)
    {
        HWND focus = GetFocus();
        if (focus && focus == Item(window, IDC_NAME_EDIT)) {
            Event e = {};
            e.kind = EV_PERHAPS_RENAMED;
            e.window = window;
            Record(e);
        }
    }

    /* A row of a drop-down list: clicked open and shut, then walked to with the keys. */
    void PickRow(HWND combo, int row)
    {
        if (!combo || !IsWindowEnabled(combo))
            return;
        ClickCentre(combo);
        if (SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0))
            ClickCentre(combo);
        if (GetFocus() != combo || SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0))
            return;
        Press(VK_HOME, false);
        for (int i = 0; i < row && GetFocus() == combo; i++)
            Press(VK_DOWN, false);
    }

    void Run(const Action &x, int window)
    {
        if (x.kind >= P_NAME) {
            PrinterEvent(x);
            return;
        }
        if (x.kind == H_REOPEN) {
            ClosePage(MAIN_WINDOW);
            device = (DWORD)x.a;
            OpenPage(MAIN_WINDOW, device);
            return;
        }
        if (!PageIn(window))
            return;
        Event input = {};
        input.kind = EV_INPUT;
        input.window = window;
        Record(input);
        switch (x.kind) {
        case K_TYPE:
            for (char c : x.text)
                TypeCharacter((unsigned char)c);
            break;
        case K_BACKSPACE: TypeBackspace(); break;
        case K_DELETE: TypeDelete(); break;
        case K_PASTE: Paste(x.text); break;
        case K_ARROW:
            if (window == MAIN_WINDOW) {
                PlanChange(x.change);
                second = &x.change;
            }
            Press((WORD)x.a, x.b != 0);
            break;
        case K_HOME_END: Press((WORD)x.a, x.b != 0); break;
        case K_TAB: Press(VK_TAB, x.b != 0); break;
        case K_ENTER: Press(VK_RETURN, false); break;
        case K_ESCAPE: Press(VK_ESCAPE, false); break;
        case M_RADIO: {
            const int ids[3] = { IDC_MODE_MAILBOX, IDC_MODE_JOB_SEPARATOR, IDC_MODE_STACKER };
            if (window == MAIN_WINDOW) {
                PlanChange(x.change);
                second = &x.change;
            }
            ClickCentre(Item(window, ids[x.a % 3]));
            break;
        }
        case M_PICTURE:
            PerhapsRenamed(window);
            Click(Item(window, IDC_BIN_PICTURE), x.a, x.b);
            break;
        case M_LIST_ROW:
        case M_RENAME: {
            RECT r;
            HWND list = Item(window, IDC_BIN_LIST);
            if (list && SendMessageA(list, LB_GETITEMRECT, x.a, (LPARAM)&r) != LB_ERR)
                Click(list, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
            for (char c : x.text)
                TypeCharacter((unsigned char)c);
            break;
        }
        case M_EDIT: {
            RECT r;
            HWND edit = Item(window, IDC_NAME_EDIT);
            if (edit && GetClientRect(edit, &r))
                Click(edit, x.a % (r.right > 0 ? r.right : 1), r.bottom / 2);
            break;
        }
        case M_TIMEOUT_ROW: PickRow(Item(window, IDC_TIMEOUT_COMBO), x.a); break;
        case M_DESTINATION_ROW: PickRow(Item(window, IDC_DESTINATION_COMBO), x.a); break;
        case H_MESSAGE: HostMessage(window, (UINT)x.a, x.b != 0); break;
        case H_POPUP: Popup(x); break;
        }
    }

    /* The other printer's page, opened in a second host window while the mode change of the
     * main one waits, and used a little. */
    void SecondWindow()
    {
        if (!second || !second->second)
            return;
        HWND page = OpenPage(SECOND_WINDOW, device == 1 ? 2 : 1);
        Rng r((unsigned)second->second);
        int n = 1 + r.Below(6);
        for (int i = 0; i < n && page; i++) {
            Action y = { K_TYPE, 0, 0, 0, "", { 0, 32, 0, AHEAD_NONE, 0 } };
            switch (r.Below(6)) {
            case 0:
                y.text = RandomText(r, 4);
                break;
            case 1:
                y.kind = M_LIST_ROW;
                y.a = r.Below(8);
                break;
            case 2:
                y.kind = M_TIMEOUT_ROW;
                y.a = r.Below(8);
                break;
            case 3:
                y.kind = M_DESTINATION_ROW;
                y.a = r.Below(10);
                break;
            case 4:
                y.kind = K_BACKSPACE;
                break;
            default:
                /* a second mode change while the first one waits */
                y.kind = M_RADIO;
                y.a = r.Below(3);
                break;
            }
            if (trace)
                printf("  >   in the second window: %s\n", Describe(y).c_str());
            Run(y, SECOND_WINDOW);
        }
    }

    /* After a mode change that another page's opening interrupted: the page left behind is
     * used (a timeout picked, an apply), the other page applies what its own user changed,
     * its window closes, and the main page is opened again. */
    void AfterSecondWindow()
    {
        if (!HostDialog(SECOND_WINDOW))
            return;
        StepAndCheck();
        if (PageIn(MAIN_WINDOW) && failure.empty()) {
            Rng r(second ? (unsigned)second->second : 0u);
            SetForegroundWindow(HostDialog(MAIN_WINDOW));
            PickRow(Item(MAIN_WINDOW, IDC_TIMEOUT_COMBO), r.Below(8));
            HostMessage(MAIN_WINDOW, 1690, true);
            StepAndCheck();
        }
        if (PageIn(SECOND_WINDOW)) {
            HostMessage(SECOND_WINDOW, 1690, true);
            StepAndCheck();
        }
        CloseHost(SECOND_WINDOW);
        ClosePage(MAIN_WINDOW);
        OpenPage(MAIN_WINDOW, device);
    }

    /* The stand-alone dialog works on the model of the last page; the page is closed for it
     * (one at a time) and opened again afterwards for the same printer. */
    void Popup(const Action &x)
    {
        ClosePage(MAIN_WINDOW);
        Event open = {};
        open.kind = EV_OPEN;
        open.window = MAIN_WINDOW;
        open.b = 1;
        Record(open);
        bool ran = false;
        INT_PTR result = RunPopup([&](HWND dialog) {
            ran = true;
            StepAndCheck();
            Rng r((unsigned)x.a);
            for (int i = 0; i < x.b && failure.empty(); i++) {
                Action inner = RandomAction(r, true);
                Watch("in the stand-alone dialog: " + Describe(inner));
                if (trace)
                    printf("  >   in the dialog: %s\n", Describe(inner).c_str());
                Run(inner, MAIN_WINDOW);
                StepAndCheck();
            }
            if (x.c == 1) {
                Event apply = {};
                apply.kind = EV_APPLY;
                apply.window = MAIN_WINDOW;
                Record(apply);
                ClickCentre(GetDlgItem(dialog, IDOK));
            } else {
                ClickCentre(GetDlgItem(dialog, IDCANCEL));
            }
            if (IsWindow(dialog) && IsWindowVisible(dialog))
                EndDialog(dialog, 99); /* the button did not end it: reported below */
        });
        if (!ran)
            Fail("the stand-alone dialog never came up");
        else if (result != x.c)
            Fail("the stand-alone dialog ended with " + std::to_string((long long)result));
        Event close = {};
        close.kind = EV_CLOSE;
        close.window = MAIN_WINDOW;
        Record(close);
        StepAndCheck();
        OpenPage(MAIN_WINDOW, device);
    }

    std::string RunAll(const std::vector<bool> *keep)
    {
        SimClear();
        Rng r(seed);
        SimPrinter one = RandomPrinter(r, 1), two = RandomPrinter(r, 2);
        SimAddPrinter(&one);
        SimAddPrinter(&two);
        SimLogClear();
        SimSetDelay(0);
        for (DWORD d = 1; d <= 2; d++)
            SimPeekObject(d, OBJ_OUTPUT_CAPABILITIES, &capabilities[d], sizeof capabilities[d]);
        if (!DriverLoad()) {
            SimClear();
            return "Binpanel.dll does not load";
        }
        g_onHostCommand = [this](int window, int command) { HostCommand(window, command); };
        g_onWaitShown = [this] { SecondWindow(); };
        Watch("open the page");
        device = 1 + (seed & 1);
        OpenPage(MAIN_WINDOW, device);
        StepAndCheck();
        if (!failure.empty())
            failure = "after opening: " + failure;
        for (size_t i = 0; i < actions.size() && failure.empty(); i++) {
            if (keep && !(*keep)[i])
                continue;
            Watch(Describe(actions[i]));
            if (trace)
                printf("  > %s\n", Describe(actions[i]).c_str());
            second = nullptr;
            Run(actions[i], MAIN_WINDOW);
            AfterSecondWindow();
            StepAndCheck();
            if (!failure.empty())
                failure = "after \"" + Describe(actions[i]) + "\": " + failure;
        }
        Watch("close the page");
        g_onHostCommand = nullptr;
        g_onWaitShown = nullptr;
        DriverUnload();
        SimClear();
        Unwatch();
        return failure;
    }
};

} // namespace

std::string RunSession(unsigned seed, const std::vector<Action> &actions, const std::vector<bool> *keep,
                       int *actionsRun, Counts *counts)
{
    Session s(seed, actions);
    WatchSession(seed, true);
    std::string failure = s.RunAll(keep);
    WatchSession(seed, false);
    /* a session that fails early still spends its share of the budget */
    if (actionsRun) {
        size_t planned = 0;
        for (size_t i = 0; i < actions.size(); i++)
            planned += !keep || (*keep)[i];
        *actionsRun += (int)planned;
    }
    if (counts) {
        const Counts &c = s.model.counts;
        counts->namesWritten += c.namesWritten;
        counts->timeoutsWritten += c.timeoutsWritten;
        counts->destinationsWritten += c.destinationsWritten;
        counts->modeChanges += c.modeChanges;
        counts->overlongRefused += c.overlongRefused;
        for (int m = 0; m < 4; m++)
            counts->opened[m] += c.opened[m];
        counts->noComponentRefusals += c.noComponentRefusals;
        counts->typedAheadKept += c.typedAheadKept;
        counts->takenOver += c.takenOver;
    }
    return failure;
}
