/* The rules of the settings page, as the user and the printer meet them. Each rule walks
 * the calls and dialogs it calls for, in their order, against what the session saw. */
#include "model.h"
#include "actions.h" /* Quoted */

#include <cstdio>
#include <cstring>
#include "resource.h"

const char kStackerName[] = "CARRELLO";
const char kSeparatorName[] = "SEPARATORE DELLE OPERAZIONI DI STAMPA";
const char kTopOutput[] = "Scomp. con uscita superiore";
const char kFaceUp[] = "Scomp. testo verso l'alto";
const char *const kTimeoutTexts[8] = { "Nessun timeout", "5 minuti", "10 minuti", "20 minuti",
                                       "30 minuti", "45 minuti", "1 ora", "Timeout illimitato" };
const int kTimeoutSeconds[8] = { 0, 300, 600, 1200, 1800, 2700, 3600, -1 };

static const char kCaption[] = "Cambia la modalit\xE0 HCO";

struct BoxText {
    int id;
    const char *text;
};

static const BoxText kBoxes[] = {
    { 159, "Si desidera mettere la stampante Off line e cambiare la modalit\xE0 dell'output ad alta capacit\xE0?" },
    { 162, "Si desidera passare dalla modalit\xE0 di output ad alta capacit\xE0 alla modalit\xE0 mailbox?" },
    { 163, "Si desidera passare dalla modalit\xE0 di output ad alta capacit\xE0 alla modalit\xE0 carrello?" },
    { 164, "Si desidera passare dalla modalit\xE0 di output ad alta capacit\xE0 alla modalit\xE0 separatore delle "
           "operazioni di stampa?" },
    { 169, "Errore di comunicazione. Impossibile cambiare la modalit\xE0 HCO." },
    { 161, "Errore di comunicazione. Impossibile mettere la stampante Off line. Riprovare pi\xF9 tardi." },
    { 183, "Impossibile modificare modalit\xE0 HCO" },
    { 165, "Impossibile spegnere e riaccendere la stampante. Recarsi presso la stampante e spegnerla ed "
           "accenderla per rendere effettiva la nuova modalit\xE0." },
    { 167, "Impossibile reimpostare i nomi degli scomparti di uscita." },
};

#define BOX_QUESTION 0x21 /* OK and Cancel, question mark */
#define BOX_ERROR 0x30    /* OK, exclamation mark */
#define ANSWER_OK 1
#define BEEP_ASTERISK 0x40
#define NAME_MAX 19       /* a bin's name */
#define DEVICE_NAME_MAX 31 /* a bin's name in the printer's record */

std::string MailboxDefault(int i)
{
    return "MAILBOX " + std::to_string(i + 1);
}

bool AcceptableFit(const std::string &shown, const std::string &full, size_t maxChars)
{
    if (full.size() <= maxChars)
        return shown == full;
    return !shown.empty() && shown.size() <= maxChars && full.compare(0, shown.size(), shown) == 0;
}

static int RadioOf(uint32_t mode)
{
    return mode == HCO_MODE_STACKER ? IDC_MODE_STACKER : mode == HCO_MODE_MAILBOX ? IDC_MODE_MAILBOX : IDC_MODE_JOB_SEPARATOR;
}

/* The timeout choice a printer's value shows as: the next longer one. */
static int TimeoutIndexFor(int32_t seconds)
{
    if (seconds < 0)
        return 7;
    if (seconds == 0)
        return 0;
    const int32_t upTo[] = { 300, 600, 1200, 1800, 2700 };
    for (int i = 0; i < 5; i++)
        if (seconds <= upTo[i])
            return i + 1;
    return 6;
}

static std::string NameIn(const char *field, size_t capacity)
{
    return std::string(field, strnlen(field, capacity));
}

static std::string Hex(uint32_t v)
{
    char s[16];
    sprintf(s, "0x%X", (unsigned)v);
    return s;
}

static const char *ObjectName(uint32_t object)
{
    switch (object) {
    case OBJ_PERIPHERAL_INFO: return "peripheral information";
    case OBJ_OUTPUT_CAPABILITIES: return "output capabilities";
    case OBJ_AUTO_CONTINUE: return "auto-continue timeout";
    case OBJ_COMPONENT_LIST: return "component list";
    case OBJ_HCO_CONFIG: return "accessory configuration";
    case OBJ_PAPER_DESTINATION: return "paper destination";
    case OBJ_ONLINE_STATE: return "online state";
    case OBJ_POWER_CYCLE: return "power cycle";
    default: return "an unknown object";
    }
}

static bool IsWrite(int op)
{
    return op == OP_LAL_SET || op == OP_CAL_SET || op == OP_CAL_SET_COMPONENT;
}

static std::string DescribeCall(const DeviceCall &c)
{
    std::string s = c.op == OP_TAL_ACCESS ? "the access check" : std::string(IsWrite(c.op) ? "a write of the " : "a read of the ") + ObjectName(c.object);
    s += " (operation " + std::to_string(c.op) + ") on device " + std::to_string(c.device);
    if (c.op == OP_CAL_GET_COMPONENT || c.op == OP_CAL_SET_COMPONENT)
        s += ", component " + Hex(c.component);
    return s;
}

static std::string DescribeEvent(const Event &e)
{
    switch (e.kind) {
    case EV_OPEN: return "a window opening";
    case EV_CALL: return DescribeCall(e.call);
    case EV_BOX: return "the message box " + Quoted(e.text);
    case EV_WAIT: return "the wait dialog";
    case EV_WAIT_END: return "the wait dialog's end";
    case EV_RADIO: return "a click of the radio of mode " + std::to_string(e.a);
    case EV_TIMEOUT_PICK: return "a timeout pick";
    case EV_DESTINATION_PICK: return "a destination pick";
    case EV_APPLY: return "an apply";
    case EV_HOST_MESSAGE: return "a host message";
    case EV_EDIT_KEY: return "a key in the name edit";
    case EV_BEEP: return "a beep of type " + Hex(e.a);
    default: return "event " + std::to_string(e.kind);
    }
}

template <typename R> static std::vector<uint8_t> Bytes(const R &record)
{
    const uint8_t *p = (const uint8_t *)&record;
    return std::vector<uint8_t>(p, p + sizeof record);
}

template <typename R> static R RecordFrom(const std::vector<uint8_t> &bytes)
{
    R r;
    memset(&r, 0, sizeof r);
    memcpy(&r, bytes.data(), bytes.size() < sizeof r ? bytes.size() : sizeof r);
    return r;
}

template <typename R> static R RecordOf(const DeviceCall &c)
{
    return RecordFrom<R>(c.record);
}

static size_t RecordSize(uint32_t object)
{
    switch (object) {
    case OBJ_PERIPHERAL_INFO: return sizeof(PeripheralInfoRecord);
    case OBJ_OUTPUT_CAPABILITIES: return sizeof(OutputCapabilitiesRecord);
    case OBJ_AUTO_CONTINUE: return sizeof(AutoContinueRecord);
    case OBJ_COMPONENT_LIST: return sizeof(ComponentListRecord);
    case OBJ_HCO_CONFIG: return sizeof(HcoConfigRecord);
    case OBJ_PAPER_DESTINATION: return sizeof(PaperDestinationRecord);
    case OBJ_ONLINE_STATE: return sizeof(OnlineStateRecord);
    case OBJ_POWER_CYCLE: return sizeof(PowerCycleRecord);
    default: return 0;
    }
}

static void PutName(HcoBinRecord &bin, const std::string &name)
{
    memset(bin.name, 0, sizeof bin.name);
    memcpy(bin.name, name.data(), name.size() < DEVICE_NAME_MAX ? name.size() : DEVICE_NAME_MAX);
    bin.fieldMask = HCO_BIN_FIELD_NAME;
}

/* A bin name write starts from zero: the names field, its bin count, the nine bins
 * numbered 3 to 11, and a name with its flag on each bin it names. */
static HcoConfigRecord NamesRecord(uint32_t binCount)
{
    HcoConfigRecord r;
    memset(&r, 0, sizeof r);
    r.fieldMask = HCO_CONFIG_FIELD_BIN_NAMES;
    r.binCount = binCount;
    for (int k = 0; k < HCO_RECORD_BINS; k++)
        r.bins[k].binNumber = (uint32_t)(k + 3);
    return r;
}

Model::Model() : counts(), liveWindow(0), staleWindow(-1), changeRunning(false), events(nullptr), next(0)
{
    open[0] = open[1] = false;
    Settings &s = live;
    s.device = 0;
    s.componentKnown = false;
    s.component = 0;
    s.mode = HCO_MODE_MAILBOX;
    for (int i = 0; i < 8; i++) {
        s.numbers[i] = 20;
        s.renamed[i] = 0;
        s.fitPending[i] = false;
    }
    s.timeoutIndex = 7;
    s.destination = s.destinationAtLoad = 20;
    s.destinationRead = false;
    s.timeoutPicked = s.destinationPicked = false;
    s.populated = false;
    s.destinationShown = -3;
    s.focusExpected = 0;
    s.binExpected = -1;
    s.perhapsSelected = false;
    s.freshOpen = false;
    stale = live;
}

bool Model::Fail(const std::string &what)
{
    if (failure.empty())
        failure = what;
    return false;
}

const Event *Model::Peek() const
{
    return events && next < events->size() ? &(*events)[next] : nullptr;
}

const Event *Model::Take(int kind, const char *what)
{
    const Event *e = Peek();
    if (!e) {
        Fail(std::string("expected ") + what + ", nothing more came");
        return nullptr;
    }
    if (e->kind != kind) {
        Fail(std::string("expected ") + what + ", came " + DescribeEvent(*e));
        return nullptr;
    }
    next++;
    return e;
}

/* A call must go to the printer the step works on, with its record's size and a zero word. */
bool Model::TakeCall(int op, uint32_t object, uint32_t device, const char *what, const DeviceCall **call)
{
    const Event *e = Take(EV_CALL, what);
    if (!e)
        return false;
    const DeviceCall &c = e->call;
    if (c.op != op || c.object != object)
        return Fail(std::string("expected ") + what + ", came " + DescribeCall(c));
    if (c.device != device)
        return Fail(std::string(what) + " went to device " + std::to_string(c.device) + ", not to device " +
                    std::to_string(device));
    if (object && c.size != RecordSize(object))
        return Fail(std::string(what) + " passed the size " + std::to_string(c.size));
    if (c.zero != 0)
        return Fail(std::string(what) + " passed " + Hex(c.zero) + " for the zero word");
    *call = &c;
    return true;
}

bool Model::TakeComponentCall(int op, uint32_t device, uint32_t component, const char *what, const DeviceCall **call)
{
    if (!TakeCall(op, OBJ_HCO_CONFIG, device, what, call))
        return false;
    if ((*call)->component != component)
        return Fail(std::string(what) + " went to component " + Hex((*call)->component) + ", the accessory is " + Hex(component));
    return true;
}

bool Model::TakeWrite(int op, uint32_t object, uint32_t device, const std::vector<uint8_t> &bytes, const char *what,
                      const DeviceCall **call)
{
    if (!TakeCall(op, object, device, what, call))
        return false;
    const std::vector<uint8_t> &got = (*call)->record;
    if (got != bytes) {
        size_t at = 0;
        while (at < got.size() && at < bytes.size() && got[at] == bytes[at])
            at++;
        return Fail(std::string(what) + " carried other bytes than the rules give, first at offset " + std::to_string(at));
    }
    return Good(*call, what);
}

/* A failed call is one the session caused; any other is the page's own doing. */
bool Model::Good(const DeviceCall *call, const char *what)
{
    if (call->status == 0)
        return true;
    if (!call->injected)
        Fail(std::string(what) + " was answered " + Hex(call->status) + ", a failure the session did not cause: " +
             DescribeCall(*call));
    return false;
}

bool Model::TakeBox(int stringId, bool question, int *answer)
{
    const char *text = "";
    for (const BoxText &b : kBoxes)
        if (b.id == stringId)
            text = b.text;
    std::string what = "message box " + std::to_string(stringId) + " " + Quoted(text);
    const Event *e = Take(EV_BOX, what.c_str());
    if (!e)
        return false;
    if (e->text != text)
        return Fail("expected " + what + ", came " + Quoted(e->text));
    if (e->text2 != kCaption)
        return Fail(what + " has the caption " + Quoted(e->text2));
    if (e->a != (question ? BOX_QUESTION : BOX_ERROR))
        return Fail(what + " has the type " + Hex((uint32_t)e->a));
    if (!e->b)
        return Fail(what + " is not owned by the top-level window that holds the page");
    if (answer)
        *answer = e->c;
    return true;
}

bool Model::Step(const std::vector<Event> &list)
{
    events = &list;
    next = 0;
    while (failure.empty() && next < list.size())
        StepOne();
    events = nullptr;
    return failure.empty();
}

bool Model::StepOne()
{
    const Event &e = (*events)[next++];
    Settings &s = live;
    bool mine = e.window == liveWindow;
    switch (e.kind) {
    case EV_OPEN: return Open(e);
    case EV_CLOSE:
        open[e.window] = false;
        if (e.window == staleWindow)
            staleWindow = -1;
        return true;
    case EV_RADIO: return RadioClicked(e.window, (uint32_t)e.a);
    case EV_TIMEOUT_PICK:
        if (mine) {
            s.timeoutIndex = e.a;
            s.timeoutPicked = true;
        }
        return true;
    case EV_DESTINATION_PICK:
        if (mine) {
            s.destination = RowValue(s, e.a);
            s.destinationPicked = true;
            s.destinationShown = e.a;
        }
        return true;
    case EV_APPLY:
        /* a page whose model another page took over writes nothing; whether the stand-alone
         * dialog's OK writes is the page's choice, but what it writes is the apply's */
        if (!mine || (e.a == 0 && !(Peek() && Peek()->kind == EV_CALL)))
            return true;
        return Apply();
    case EV_HOST_MESSAGE: return true;
    case EV_EDIT_KEY: return EditKeyTyped(e);
    case EV_INPUT:
        if (mine) {
            s.binExpected = -1;
            s.focusExpected = 0;
        }
        return true;
    case EV_PERHAPS_RENAMED:
        if (mine)
            s.perhapsSelected = true;
        return true;
    case EV_CALL: return Fail("the page made " + DescribeCall(e.call) + ", where the rules call for none");
    case EV_BOX: return Fail("the page showed the message box " + Quoted(e.text) + ", where the rules call for none");
    case EV_WAIT: return Fail("the page showed the wait dialog, where the rules call for none");
    case EV_BEEP: return Fail("the page beeped (type " + Hex((uint32_t)e.a) + "), where the rules call for no beep");
    default: return Fail("unexpected " + DescribeEvent(e));
    }
}

/* The host's offer: an access check, then the printer's kind and its output capabilities. */
bool Model::Offer(uint32_t device, bool *offered)
{
    const DeviceCall *c;
    *offered = false;
    if (!TakeCall(OP_TAL_ACCESS, 0, device, "the offer's access check", &c))
        return false;
    if (!(c->status & 1))
        return true;
    if (!TakeCall(OP_PAL_GET, OBJ_PERIPHERAL_INFO, device, "the offer's read of the peripheral information", &c))
        return false;
    if (c->status != 0 && !Good(c, "the offer's read of the peripheral information"))
        return failure.empty();
    if (RecordOf<PeripheralInfoRecord>(*c).peripheralKind != PERIPHERAL_KIND_SUPPORTED)
        return true;
    if (!TakeCall(OP_PAL_GET, OBJ_OUTPUT_CAPABILITIES, device, "the offer's read of the output capabilities", &c))
        return false;
    if (c->status != 0 && !Good(c, "the offer's read of the output capabilities"))
        return failure.empty();
    OutputCapabilitiesRecord caps = RecordOf<OutputCapabilitiesRecord>(*c);
    *offered = (caps.capabilityFlags & CAPABILITY_FLAG_HCO) && caps.capabilityWord != 0;
    return true;
}

/* What a configuration read at the opening gives: the mode, and the names and numbers of
 * the mailboxes (record bins 1 to 8), or the single output's name on every bin with the
 * numbers of record bins 0 to 7. */
void Model::TakeLoadedConfig(const HcoConfigRecord &config)
{
    Settings &s = live;
    s.mode = config.mode == HCO_MODE_MAILBOX || config.mode == HCO_MODE_STACKER ? config.mode : HCO_MODE_JOB_SEPARATOR;
    for (int i = 0; i < 8; i++) {
        bool mailbox = s.mode == HCO_MODE_MAILBOX;
        const HcoBinRecord &bin = config.bins[mailbox ? i + 1 : i];
        s.numbers[i] = bin.binNumber;
        s.fullNames[i] = mailbox ? NameIn(bin.name, DEVICE_BIN_NAME_BYTES)
                                 : s.mode == HCO_MODE_STACKER ? kStackerName : kSeparatorName;
        s.names[i] = s.fullNames[i];
        s.fitPending[i] = true;
    }
}

bool Model::Open(const Event &e)
{
    bool popup = e.a == 0;
    if (!popup) {
        bool offered;
        if (!Offer((uint32_t)e.a, &offered))
            return false;
        if (offered != (e.b != 0))
            return Fail(offered ? "the page offered for device " + std::to_string(e.a) + " could not be created"
                                : "a page was created for device " + std::to_string(e.a) + ", which offers none");
        if (!offered) {
            open[e.window] = false;
            return true;
        }
    } else if (!e.b) {
        return Fail("the stand-alone dialog could not be shown");
    }
    /* One settings model for the module: the page initialised last owns it. */
    if (e.window == staleWindow)
        staleWindow = -1;
    if (e.window != liveWindow && open[liveWindow]) {
        stale = live;
        staleWindow = liveWindow;
        counts.takenOver++;
    }
    liveWindow = e.window;
    open[e.window] = true;

    Settings &s = live;
    if (!popup)
        s.device = (uint32_t)e.a;
    /* what this page's apply writes is what its own user changes */
    s.timeoutPicked = s.destinationPicked = false;
    for (int i = 0; i < 8; i++) {
        s.renamed[i] = 0;
        s.names[i] = s.fullNames[i] = MailboxDefault(i);
        s.fitPending[i] = false;
    }
    s.mode = HCO_MODE_MAILBOX;
    s.destinationRead = false;
    s.destinationRecord.clear();
    s.perhapsSelected = false;
    s.focusExpected = 0;
    s.binExpected = -1;

    const DeviceCall *c;
    if (s.device != 0) {
        if (!TakeCall(OP_LAL_GET, OBJ_AUTO_CONTINUE, s.device, "the opening's read of the timeout", &c))
            return false;
        if (Good(c, "the opening's read of the timeout"))
            s.timeoutIndex = TimeoutIndexFor(RecordOf<AutoContinueRecord>(*c).timeoutSeconds);
        else if (!failure.empty())
            return false;
    }
    s.componentKnown = false;
    if (!TakeCall(OP_LAL_GET, OBJ_OUTPUT_CAPABILITIES, s.device, "the opening's read of the output capabilities", &c))
        return false;
    bool good = Good(c, "the opening's read of the output capabilities");
    if (!failure.empty())
        return false;
    OutputCapabilitiesRecord caps = RecordOf<OutputCapabilitiesRecord>(*c);
    if (good && (caps.capabilityFlags & CAPABILITY_FLAG_HCO) && caps.capabilityWord != 0) {
        if (!TakeCall(OP_LAL_GET, OBJ_COMPONENT_LIST, s.device, "the opening's read of the component list", &c))
            return false;
        good = Good(c, "the opening's read of the component list");
        if (!failure.empty())
            return false;
        ComponentListRecord list = RecordOf<ComponentListRecord>(*c);
        if (good && list.componentCount != 0) {
            /* the first of the entries the record holds whose part number names the accessory */
            int found = -1;
            uint32_t count = list.componentCount < COMPONENT_LIST_ENTRIES ? list.componentCount : COMPONENT_LIST_ENTRIES;
            for (uint32_t i = 0; i < count && found < 0; i++)
                if (NameIn(list.entries[i].partNumber, sizeof list.entries[i].partNumber).find(HCO_PART_NUMBER) != std::string::npos)
                    found = (int)i;
            if (found < 0) {
                /* not the accessory's printer after all: the page keeps its bare template */
                s.populated = false;
                return true;
            }
            s.componentKnown = true;
            s.component = list.entries[found].componentId;
            if (!TakeComponentCall(OP_CAL_GET_COMPONENT, s.device, s.component, "the opening's read of the configuration", &c))
                return false;
            if (Good(c, "the opening's read of the configuration"))
                TakeLoadedConfig(RecordOf<HcoConfigRecord>(*c));
            else if (!failure.empty())
                return false;
        }
    }
    s.populated = true;
    /* the destination is read once at the opening */
    if (!TakeCall(OP_PAL_GET, OBJ_PAPER_DESTINATION, s.device, "the opening's read of the paper destination", &c))
        return false;
    if (Good(c, "the opening's read of the paper destination")) {
        s.destination = s.destinationAtLoad = RecordOf<PaperDestinationRecord>(*c).destination;
        s.destinationRecord = c->record;
        s.destinationRead = true;
    } else if (!failure.empty()) {
        return false;
    }
    s.destinationShown = -3;
    /* the focus never on a control the page disables; the stand-alone dialog's first focus
     * is the dialog manager's (its initialisation asks for the default) */
    s.focusExpected = popup ? 0 : s.mode == HCO_MODE_MAILBOX ? IDC_NAME_EDIT : RadioOf(s.mode);
    s.binExpected = s.mode == HCO_MODE_MAILBOX ? 0 : -1;
    s.freshOpen = true;
    return true;
}

bool Model::RadioClicked(int window, uint32_t target)
{
    if (window != liveWindow)
        return true; /* the sessions click no radio of a page whose model was taken over */
    Settings &s = live;
    if (target == s.mode)
        return true;
    /* one change at a time: a radio used while another change runs starts nothing */
    if (changeRunning) {
        RadiosBack();
        return true;
    }
    /* without the accessory's component nothing can be changed: no question, no call */
    if (!s.componentKnown) {
        if (!TakeBox(169, false, nullptr))
            return false;
        counts.noComponentRefusals++;
        RadiosBack();
        return true;
    }
    /* the change keeps its own printer and component to the end */
    uint32_t device = s.device, component = s.component;
    const DeviceCall *c;
    if (!TakeCall(OP_LAL_GET, OBJ_ONLINE_STATE, device, "the mode change's read of the online state", &c))
        return false;
    if (!Good(c, "the mode change's read of the online state")) {
        if (!failure.empty() || !TakeBox(169, false, nullptr))
            return false;
        RadiosBack();
        return true;
    }
    OnlineStateRecord online = RecordOf<OnlineStateRecord>(*c);
    int answer = 0;
    if (online.onlineState == 1) {
        if (!TakeBox(159, true, &answer))
            return false;
        if (answer != ANSWER_OK) {
            RadiosBack();
            return true;
        }
        OnlineStateRecord offline = online;
        offline.request = ONLINE_REQUEST_OFFLINE;
        if (!TakeWrite(OP_LAL_SET, OBJ_ONLINE_STATE, device, Bytes(offline), "the request to go offline", &c)) {
            if (!failure.empty() || !TakeBox(161, false, nullptr))
                return false;
            RadiosBack();
            return true;
        }
    } else {
        if (!TakeBox(target == HCO_MODE_MAILBOX ? 162 : target == HCO_MODE_STACKER ? 163 : 164, true, &answer))
            return false;
        if (answer != ANSWER_OK) {
            RadiosBack();
            return true;
        }
    }
    HcoConfigRecord modeRecord;
    memset(&modeRecord, 0, sizeof modeRecord);
    modeRecord.fieldMask = HCO_CONFIG_FIELD_MODE;
    modeRecord.mode = target;
    if (!TakeComponentCall(OP_CAL_SET_COMPONENT, device, component, "the mode write", &c))
        return false;
    if (c->record != Bytes(modeRecord))
        return Fail("the mode write carried other bytes than the mode " + std::to_string(target));
    if (c->status != 0 && !Good(c, "the mode write") && !failure.empty())
        return false;
    OnlineStateRecord back = online;
    back.request = ONLINE_REQUEST_ONLINE;
    if (c->status == DEVOBJ_FAILURE) {
        if (!TakeBox(183, false, nullptr))
            return false;
        if (!TakeWrite(OP_LAL_SET, OBJ_ONLINE_STATE, device, Bytes(back), "the request to come back online", &c) &&
            !failure.empty())
            return false;
        RadiosBack();
        return true;
    }
    PowerCycleRecord cycle = { POWER_CYCLE_REQUEST };
    bool cycled = TakeWrite(OP_LAL_SET, OBJ_POWER_CYCLE, device, Bytes(cycle), "the power cycle request", &c);
    if (!failure.empty())
        return false;
    const Event *wait = Take(EV_WAIT, "the wait dialog");
    if (!wait)
        return false;
    /* the wait is modal to this page's window only: another host window may be used meanwhile */
    changeRunning = true;
    while (failure.empty() && Peek() && Peek()->kind != EV_WAIT_END)
        StepOne();
    changeRunning = false;
    const Event *end = Take(EV_WAIT_END, "the wait dialog's end");
    if (!end)
        return false;
    if (end->a == WAIT_ENDED_AHEAD)
        return Fail("a key pressed before the wait dialog came up ended it");
    if (end->a == WAIT_KEY_IGNORED)
        return Fail("a key pressed while the wait dialog was shown did not end it");
    if (end->a == WAIT_NOT_SHOWN)
        return Fail(wait->b ? "a key pressed before the wait dialog came up ended it before it was shown"
                            : "the wait dialog ended before it was shown");
    if (wait->b)
        counts.typedAheadKept++;
    if (!cycled && !TakeBox(165, false, nullptr))
        return false;
    if (!TakeWrite(OP_LAL_SET, OBJ_ONLINE_STATE, device, Bytes(back), "the request to come back online", &c) &&
        !failure.empty())
        return false;

    /* the names the printer's bins get in the new mode */
    HcoConfigRecord reset = NamesRecord(target == HCO_MODE_MAILBOX ? 9 : 2);
    PutName(reset.bins[0], kFaceUp);
    if (target == HCO_MODE_MAILBOX) {
        for (int k = 1; k < HCO_RECORD_BINS; k++)
            PutName(reset.bins[k], MailboxDefault(k - 1));
    } else {
        PutName(reset.bins[1], target == HCO_MODE_STACKER ? kStackerName : kSeparatorName);
    }
    if (!TakeComponentCall(OP_CAL_SET_COMPONENT, device, component, "the bin name reset", &c))
        return false;
    if (target == HCO_MODE_JOB_SEPARATOR) {
        /* the single output's name is longer than a bin record holds: shortened as the page likes */
        HcoConfigRecord got = RecordOf<HcoConfigRecord>(*c);
        std::string name = NameIn(got.bins[1].name, DEVICE_BIN_NAME_BYTES);
        if (!AcceptableFit(name, kSeparatorName, DEVICE_NAME_MAX))
            return Fail("the bin name reset names the single output " + Quoted(name));
        PutName(reset.bins[1], name);
    }
    if (c->record != Bytes(reset))
        return Fail("the bin name reset carried other bytes than the names of mode " + std::to_string(target));
    bool resetGood = Good(c, "the bin name reset");
    if (!failure.empty() || (!resetGood && !TakeBox(167, false, nullptr)))
        return false;
    counts.modeChanges++;
    if (window != liveWindow) {
        /* another page took the model over: this one only shows its new radio */
        stale.mode = target;
        return true;
    }
    return SwitchPage(target);
}

/* The page follows the new mode: the names the mode starts with, or the printer's own once
 * it reports that mode, and the destination as the printer has moved it. */
bool Model::SwitchPage(uint32_t target)
{
    Settings &s = live;
    for (int i = 0; i < 8; i++) {
        s.renamed[i] = 0;
        s.fullNames[i] = target == HCO_MODE_MAILBOX ? MailboxDefault(i)
                         : target == HCO_MODE_STACKER ? std::string(kStackerName)
                                                      : std::string(kSeparatorName, DEVICE_NAME_MAX);
        s.names[i] = s.fullNames[i];
        s.fitPending[i] = true;
    }
    const DeviceCall *c;
    if (!TakeComponentCall(OP_CAL_GET_COMPONENT, s.device, s.component, "the read of the configuration after the change", &c))
        return false;
    if (Good(c, "the read of the configuration after the change")) {
        HcoConfigRecord config = RecordOf<HcoConfigRecord>(*c);
        if (config.mode == target) {
            for (int i = 0; i < 8; i++) {
                const HcoBinRecord &own = config.bins[target == HCO_MODE_MAILBOX ? i + 1 : i];
                s.numbers[i] = own.binNumber;
                s.fullNames[i] = NameIn(config.bins[target == HCO_MODE_MAILBOX ? i + 1 : 1].name, DEVICE_BIN_NAME_BYTES);
                s.names[i] = s.fullNames[i];
            }
        }
    } else if (!failure.empty()) {
        return false;
    }
    s.mode = target;
    /* the printer moves its destination itself with the mode: read again */
    if (!TakeCall(OP_PAL_GET, OBJ_PAPER_DESTINATION, s.device, "the read of the paper destination after the change", &c))
        return false;
    if (Good(c, "the read of the paper destination after the change")) {
        s.destination = RecordOf<PaperDestinationRecord>(*c).destination;
        s.destinationRecord = c->record;
        s.destinationRead = true;
    } else if (!failure.empty()) {
        return false;
    }
    s.destinationShown = -3;
    /* the focus stays with the control the user used, or on the name edit the switch enabled */
    s.focusExpected = target == HCO_MODE_MAILBOX ? IDC_NAME_EDIT : RadioOf(target);
    s.binExpected = target == HCO_MODE_MAILBOX ? 0 : -1;
    if (target == HCO_MODE_MAILBOX)
        s.renamed[0] = 1; /* its own name set into the focused edit may count as a rename */
    return true;
}

void Model::RadiosBack()
{
    Settings &s = live;
    /* the radio of the mode kept takes the focus; in mailbox mode the selected mailbox is
     * announced again, which takes it on to the name edit */
    s.focusExpected = !s.populated ? 0 : s.mode == HCO_MODE_MAILBOX ? IDC_NAME_EDIT : RadioOf(s.mode);
}

/* The apply writes what this page's user changed, exactly: the timeout picked, the names
 * typed, the destination picked when it differs from the one read at the opening. */
bool Model::Apply()
{
    Settings &s = live;
    const DeviceCall *c;
    if (s.timeoutPicked) {
        AutoContinueRecord r;
        memset(&r, 0, sizeof r);
        r.fieldMask = AUTO_CONTINUE_FIELD_TIMEOUT;
        r.timeoutSeconds = kTimeoutSeconds[s.timeoutIndex];
        if (!TakeWrite(OP_LAL_SET, OBJ_AUTO_CONTINUE, s.device, Bytes(r), "the apply's timeout write", &c) && !failure.empty())
            return false;
        counts.timeoutsWritten++;
    }
    bool required = false, perhaps = false;
    for (int i = 0; i < 8; i++) {
        required = required || s.renamed[i] == 2;
        perhaps = perhaps || s.renamed[i] == 1;
    }
    const Event *n = Peek();
    bool nameWriteCame = n && n->kind == EV_CALL && n->call.op == OP_CAL_SET_COMPONENT;
    if (s.componentKnown && (required || (perhaps && nameWriteCame))) {
        if (!TakeComponentCall(OP_CAL_SET_COMPONENT, s.device, s.component, "the apply's bin name write", &c))
            return false;
        HcoConfigRecord got = RecordOf<HcoConfigRecord>(*c);
        HcoConfigRecord want = NamesRecord(9);
        for (int i = 0; i < 8; i++) {
            bool written = got.bins[i + 1].fieldMask == HCO_BIN_FIELD_NAME;
            if (s.renamed[i] == 2 || (s.renamed[i] == 1 && written))
                PutName(want.bins[i + 1], s.names[i]);
            else if (written)
                return Fail("the apply named bin " + std::to_string(i + 1) + " " +
                            Quoted(NameIn(got.bins[i + 1].name, DEVICE_BIN_NAME_BYTES)) +
                            ", which the user of this page did not rename");
        }
        if (c->record != Bytes(want)) {
            for (int i = 0; i < 8; i++)
                if (s.renamed[i] && memcmp(&got.bins[i + 1], &want.bins[i + 1], sizeof want.bins[i + 1]) != 0)
                    return Fail("the apply wrote bin " + std::to_string(i + 1) + " as " +
                                Quoted(NameIn(got.bins[i + 1].name, DEVICE_BIN_NAME_BYTES)) + ", the page shows " +
                                Quoted(s.names[i]) + (s.renamed[i] == 2 ? "" : " (unrenamed)"));
            return Fail("the apply's bin name write carried other bytes than the renamed bins");
        }
        if (!Good(c, "the apply's bin name write") && !failure.empty())
            return false;
        if (required)
            counts.namesWritten++;
    }
    if (s.destinationPicked && s.destination != s.destinationAtLoad && s.destinationRead) {
        bool offered = false;
        for (size_t r = 0; r < DestinationRows(s).size(); r++)
            offered = offered || RowStandsFor(s, (int)r, s.destination);
        if (offered) {
            PaperDestinationRecord r = RecordFrom<PaperDestinationRecord>(s.destinationRecord);
            r.destination = s.destination;
            if (!TakeWrite(OP_CAL_SET, OBJ_PAPER_DESTINATION, s.device, Bytes(r), "the apply's destination write", &c) &&
                !failure.empty())
                return false;
            counts.destinationsWritten++;
        }
    }
    return true;
}

/* A key in the focused name edit: a name of up to 19 characters is taken at once, for the
 * selected mailbox; a longer one is refused with the asterisk beep and the text as it was. */
bool Model::EditKeyTyped(const Event &e)
{
    Settings &s = live;
    const std::string &before = e.text, &after = e.text2;
    size_t from = (size_t)e.a < before.size() ? (size_t)e.a : before.size();
    size_t to = (size_t)e.b < before.size() ? (size_t)e.b : before.size();
    if (to < from)
        to = from;
    std::string predicted = before;
    size_t inserted = 0;
    switch (e.c) {
    case EDIT_CHAR:
    case EDIT_PASTE:
        predicted = before.substr(0, from) + e.paste + before.substr(to);
        inserted = e.paste.size();
        break;
    case EDIT_BACKSPACE:
        if (from < to)
            predicted = before.substr(0, from) + before.substr(to);
        else if (from > 0)
            predicted = before.substr(0, from - 1) + before.substr(from);
        break;
    case EDIT_DELETE:
        if (from < to)
            predicted = before.substr(0, from) + before.substr(to);
        else if (from < before.size())
            predicted = before.substr(0, from) + before.substr(from + 1);
        break;
    }
    std::vector<int> beeps;
    while (Peek() && Peek()->kind == EV_BEEP)
        beeps.push_back((*events)[next++].a);
    bool mine = e.window == liveWindow && s.populated && s.mode == HCO_MODE_MAILBOX && e.d >= 0 && e.d < 8;
    if (predicted.size() > NAME_MAX) {
        if (after != before)
            return Fail("the name edit took the overlong name " + Quoted(after) + ", it must stay " + Quoted(before));
        if (beeps.size() != 1 || beeps[0] != BEEP_ASTERISK)
            return Fail("an overlong name was refused with " + std::to_string(beeps.size()) +
                        " beeps, not with one asterisk beep");
        if (e.c == EDIT_CHAR && e.e != (int)(from + inserted - 1))
            return Fail("after a refused character the caret is at " + std::to_string(e.e) + ", not at " +
                        std::to_string(from + inserted - 1) + " where it stood");
        counts.overlongRefused++;
        /* the refusal sets the last accepted name, the bin's own, into the focused edit */
        if (mine && !s.renamed[e.d])
            s.renamed[e.d] = 1;
        return true;
    }
    if (!beeps.empty())
        return Fail("the page beeped at the name " + Quoted(after) + ", which fits");
    if (after != predicted)
        return Fail("the name edit shows " + Quoted(after) + " after the key, not " + Quoted(predicted));
    if (!mine)
        return true;
    if (predicted == before) {
        s.renamed[e.d] = s.renamed[e.d] ? s.renamed[e.d] : 1;
        return true;
    }
    s.names[e.d] = s.fullNames[e.d] = after;
    s.fitPending[e.d] = false;
    s.renamed[e.d] = 2;
    /* the destination rows follow the names, and a destination shown stays shown */
    s.destinationShown = -2;
    return true;
}

std::vector<std::string> Model::DestinationRows(const Settings &s) const
{
    std::vector<std::string> rows = { kTopOutput, kFaceUp };
    if (s.mode == HCO_MODE_MAILBOX) {
        for (int i = 0; i < 8; i++)
            rows.push_back(s.names[i]);
    } else {
        rows.push_back(s.mode == HCO_MODE_STACKER ? kStackerName : kSeparatorName);
    }
    return rows;
}

/* The destinations the list offers: the top output bin (a printer's 1 shows as it too),
 * the face-up bin, then the eight mailboxes in mailbox mode, else the single output. */
uint32_t Model::RowValue(const Settings &s, int row) const
{
    if (row == 0)
        return 20;
    if (row == 1)
        return 3;
    if (s.mode == HCO_MODE_MAILBOX)
        return row >= 2 && row < 10 ? s.numbers[row - 2] : 0xFFFFFFFFu;
    return row == 2 ? 4 : 0xFFFFFFFFu;
}

bool Model::RowStandsFor(const Settings &s, int row, uint32_t destination) const
{
    if (row == 0)
        return destination == 20 || destination == 1;
    return RowValue(s, row) == destination;
}

bool Model::Check(int window, const Screen &screen)
{
    if (!failure.empty())
        return false;
    if (window == liveWindow)
        return CheckSettings(live, screen);
    if (window == staleWindow) {
        for (uint32_t m = 1; m <= 3; m++)
            if (screen.checked[m] != (stale.mode == m))
                return Fail("the page whose model another page took over shows the radio of mode " + std::to_string(m) +
                            (screen.checked[m] ? " checked" : " unchecked") + "; its mode is " + std::to_string(stale.mode));
    }
    return true;
}

bool Model::CheckSettings(Settings &s, const Screen &screen)
{
    std::string in = " in mode " + std::to_string(s.mode);
    if (!s.populated) {
        if (!screen.bins.empty() || !screen.destinations.empty() || !screen.timeouts.empty())
            return Fail("a page that found no accessory shows filled lists");
        return true;
    }
    for (uint32_t m = 1; m <= 3; m++)
        if (screen.checked[m] != (s.mode == m))
            return Fail("the radio of mode " + std::to_string(m) + (screen.checked[m] ? " is checked" : " is not checked") + in);
    static const char *const controls[5] = { "mailbox group", "bin list", "name label", "name edit", "bin picture" };
    for (int k = 0; k < 5; k++)
        if (screen.mailboxEnabled[k] != (s.mode == HCO_MODE_MAILBOX))
            return Fail(std::string("the ") + controls[k] + (screen.mailboxEnabled[k] ? " is enabled" : " is disabled") + in);

    if (screen.timeouts.size() != 8)
        return Fail("the timeout list has " + std::to_string(screen.timeouts.size()) + " rows");
    for (int i = 0; i < 8; i++)
        if (screen.timeouts[i] != kTimeoutTexts[i])
            return Fail("timeout row " + std::to_string(i) + " reads " + Quoted(screen.timeouts[i]));
    if (screen.timeoutSelected != s.timeoutIndex)
        return Fail("the timeout list shows row " + std::to_string(screen.timeoutSelected) + ", the timeout is choice " +
                    std::to_string(s.timeoutIndex));

    if (screen.bins.size() != 8)
        return Fail("the bin list has " + std::to_string(screen.bins.size()) + " rows");
    for (int i = 0; i < 8; i++) {
        if (s.fitPending[i]) {
            if (!AcceptableFit(screen.bins[i], s.fullNames[i], NAME_MAX))
                return Fail("bin " + std::to_string(i + 1) + " shows " + Quoted(screen.bins[i]) + " for the name " +
                            Quoted(s.fullNames[i]));
            s.names[i] = screen.bins[i];
            s.fitPending[i] = false;
        }
        if (screen.bins[i] != s.names[i])
            return Fail("bin list row " + std::to_string(i) + " shows " + Quoted(screen.bins[i]) + ", the bin's name is " +
                        Quoted(s.names[i]));
    }
    if (s.mode == HCO_MODE_MAILBOX) {
        int row = screen.binSelected;
        if (row < 0 || row > 7)
            return Fail("no mailbox is selected in mailbox mode");
        if (s.binExpected >= 0 && row != s.binExpected)
            return Fail("mailbox row " + std::to_string(row) + " is selected, not row " + std::to_string(s.binExpected));
        if (screen.edit != s.names[row])
            return Fail("the name edit shows " + Quoted(screen.edit) + ", the selected mailbox is " + Quoted(s.names[row]));
        if (s.perhapsSelected && !s.renamed[row])
            s.renamed[row] = 1;
    } else {
        for (int i = 1; i < 8; i++)
            if (s.names[i] != s.names[0])
                return Fail("the bins' names differ outside mailbox mode");
        if (screen.edit != s.names[0])
            return Fail("the name edit shows " + Quoted(screen.edit) + in + ", the bins are " + Quoted(s.names[0]));
    }
    s.perhapsSelected = false;
    s.binExpected = -1;

    std::vector<std::string> rows = DestinationRows(s);
    if (screen.destinations != rows) {
        for (size_t r = 0; r < rows.size() || r < screen.destinations.size(); r++) {
            std::string got = r < screen.destinations.size() ? Quoted(screen.destinations[r]) : "nothing";
            std::string want = r < rows.size() ? Quoted(rows[r]) : "nothing";
            if (got != want)
                return Fail("destination row " + std::to_string(r) + " shows " + got + ", not " + want + in);
        }
    }
    int shown = screen.destinationSelected;
    if (s.destinationShown >= -1) {
        if (shown != s.destinationShown)
            return Fail("the destination list shows row " + std::to_string(shown) + ", the user picked row " +
                        std::to_string(s.destinationShown));
    } else {
        /* the list selects by text: each row standing for the destination selects the first
         * row that begins with its text, and at a fill the last such row decides */
        int filled = -1;
        std::vector<int> allowed;
        for (int r = 0; r < (int)rows.size(); r++) {
            if (!RowStandsFor(s, r, s.destination))
                continue;
            int found = screen.findDestination ? screen.findDestination(rows[r]) : -1;
            if (found >= 0)
                filled = found;
            allowed.push_back(r);
            allowed.push_back(found);
        }
        if (allowed.empty())
            allowed.push_back(-1);
        bool fine = false;
        if (s.destinationShown == -3)
            fine = shown == filled;
        else
            for (int a : allowed)
                fine = fine || a == shown;
        if (!fine)
            return Fail("the destination list shows row " + std::to_string(shown) + " for the destination " +
                        std::to_string(s.destination) + (s.destinationShown == -3 ? ", a fill selects row " + std::to_string(filled) : ""));
    }

    if (s.focusExpected && screen.active && screen.focus != s.focusExpected)
        return Fail((screen.focus == -1 ? std::string("no window has the keyboard focus")
                     : screen.focus == 0 ? std::string("the focus is outside the page")
                                         : "the focus is on control " + std::to_string(screen.focus)) +
                    ", it belongs on control " + std::to_string(s.focusExpected) + in);
    s.focusExpected = 0;
    if (screen.active && screen.focus == -1)
        return Fail("no window has the keyboard focus");
    if (screen.active && screen.focus > 0 && !screen.focusEnabled)
        return Fail("the focus is on the disabled control " + std::to_string(screen.focus));
    if (s.freshOpen) {
        counts.opened[s.mode]++;
        s.freshOpen = false;
    }
    return true;
}
