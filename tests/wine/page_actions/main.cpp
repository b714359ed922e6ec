/* Random user sessions against the page, hosted in a dialog of the test as a host holds it,
 * with the simulated printer. Each session is drawn from one seed: two printers, then user
 * actions (real keys through the host's message loop, clicks, the host's messages, the
 * stand-alone dialog, page openings) and printer events (records changed behind the page's
 * back, failed and slow calls). After every action the model (model.cpp) judges the calls,
 * dialogs and screen; a failing session is shortened and printed with its seed. A run
 * fails too when a kind of check was never made, and when the process's GDI objects or
 * memory grew and stay grown when every session of the run is run again.
 *
 *   page_actions_test [--seconds S] [--actions N] [--seed BASE] [--session SEED]
 * The budget also comes from PAGE_ACTIONS_SECONDS, PAGE_ACTIONS_ACTIONS and PAGE_ACTIONS_SEED;
 * an action count, when given, takes the place of the time.
 * A session that ends the process (a crash) cannot shorten itself: PAGE_ACTIONS_TRACE=1 prints
 * each action as it starts, and PAGE_ACTIONS_KEEP, a 0/1 mask over the actions of --session,
 * replays only some of them. */
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "actions.h"
#include "driver.h"
#include "gdi_objects.h"
#include "session.h"
#include "shrink.h"
#include "watchdog.h"

namespace {

struct Resources {
    int gdi;
    SIZE_T privateBytes;
};

Resources Measure()
{
    return { GdiObjectCount(), PrivateBytes() };
}

bool Grew(const Resources &from, const Resources &to)
{
    return to.gdi < 0 || to.gdi > from.gdi || to.privateBytes > from.privateBytes + 1024 * 1024;
}

long long Setting(int argc, char **argv, const char *flag, const char *variable, long long fallback)
{
    for (int i = 1; i + 1 < argc; i++)
        if (strcmp(argv[i], flag) == 0)
            return strtoll(argv[i + 1], nullptr, 0);
    const char *value = getenv(variable);
    return value && *value ? strtoll(value, nullptr, 0) : fallback;
}

/* A warm-up session takes every path that creates objects once: the stand-alone dialog
 * and a second host window opened during a mode change, beside its random actions. */
std::vector<Action> WarmUpActions(unsigned seed)
{
    std::vector<Action> actions = SessionActions(seed);
    Action popup = { H_POPUP, (int)seed, 4, 1, "", { 0, 32, 0, AHEAD_NONE, 0 } };
    Action changes[3];
    for (int m = 0; m < 3; m++)
        changes[m] = { M_RADIO, m, 0, 0, "", { 0, 32, 0, AHEAD_HELD_ENTER, (int)seed + m } };
    actions.push_back(popup);
    for (const Action &change : changes)
        actions.push_back(change);
    return actions;
}

struct Ran {
    unsigned seed;
    std::vector<bool> mask;
};

} // namespace

int main(int argc, char **argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    long long seconds = Setting(argc, argv, "--seconds", "PAGE_ACTIONS_SECONDS", 25);
    long long budget = Setting(argc, argv, "--actions", "PAGE_ACTIONS_ACTIONS", 0);
    unsigned base = (unsigned)Setting(argc, argv, "--seed", "PAGE_ACTIONS_SEED", 1);
    long long only = Setting(argc, argv, "--session", "PAGE_ACTIONS_SESSION", -1);

    StartWatchdog();
    DriverStart();
    DWORD start = GetTickCount();
    /* the system's icons of the message boxes are loaded at their first use */
    const UINT boxes[] = { MB_OKCANCEL | MB_ICONQUESTION, MB_OK | MB_ICONEXCLAMATION, MB_OK | MB_ICONASTERISK };
    for (UINT type : boxes)
        MessageBoxA(nullptr, "warm-up", "page-actions", type);
    Resources baseline = Measure();
    if (only < 0) {
        /* a warm-up until the figures settle: Wine creates some objects at first use */
        for (unsigned w = 0, steady = 0; w < 24 && steady < 4; w++) {
            RunSession(0xC0FFEE + w, WarmUpActions(0xC0FFEE + w), nullptr, nullptr, nullptr);
            Resources now = Measure();
            steady = now.gdi == baseline.gdi ? steady + 1 : 0;
            baseline = now;
        }
    }

    int actions = 0, failures = 0;
    bool stopped = false;
    Counts counts = {};
    std::vector<Ran> ran;
    for (unsigned i = 0;; i++) {
        bool used = budget > 0 ? actions >= budget : (long long)(GetTickCount() - start) >= seconds * 1000;
        if (only >= 0 ? i > 0 : used)
            break;
        /* a fault every session meets would spend the suite's time on shortening it again */
        if (failures >= 3) {
            printf("page-actions: stopped after %d failed sessions\n", failures);
            stopped = true;
            break;
        }
        unsigned seed = only >= 0 ? (unsigned)only : base * 1000003u + i * 2654435761u;
        std::vector<Action> list = SessionActions(seed);
        /* PAGE_ACTIONS_KEEP: a 0/1 mask over the session's actions, for shortening a session
         * that ends the process (a crash) from outside */
        std::vector<bool> mask;
        if (const char *k = getenv("PAGE_ACTIONS_KEEP"))
            for (size_t j = 0; j < list.size(); j++)
                mask.push_back(j < strlen(k) && k[j] != '0');
        ran.push_back({ seed, mask });
        std::string failure = RunSession(seed, list, mask.empty() ? nullptr : &mask, &actions, &counts);
        if (failure.empty())
            continue;
        failures++;
        printf("page-actions: FAILURE in session seed %u (replay with --session %u)\n  %s\n", seed, seed, failure.c_str());
        if (failures > 1)
            continue; /* the first failure is shortened; more of them only add time */
        std::string last = failure;
        std::vector<bool> keep = Shrink(list.size(), [&](const std::vector<bool> &trial) {
            return RunSession(seed, list, &trial, nullptr, nullptr);
        }, &last);
        int kept = 0;
        for (bool k : keep)
            kept += k;
        printf("  shortened to %d of %zu actions, still failing: %s\n", kept, list.size(), last.c_str());
        printf("    open the page for device %u\n", 1 + (seed & 1));
        for (size_t k = 0; k < list.size(); k++)
            if (keep[k])
                printf("    %zu. %s\n", k, Describe(list[k]).c_str());
    }

    Resources end = Measure();
    printf("page-actions: GDI objects %d at the baseline, %d at the end; private memory %zu KB, %zu KB\n", baseline.gdi,
           end.gdi, baseline.privateBytes / 1024, end.privateBytes / 1024);
    if (only < 0 && Grew(baseline, end)) {
        /* Wine makes some objects at the first use of a path, which a run may meet late:
         * every session of the run once more must then leave the figures where they are. */
        for (const Ran &r : ran)
            RunSession(r.seed, SessionActions(r.seed), r.mask.empty() ? nullptr : &r.mask, nullptr, nullptr);
        Resources again = Measure();
        printf("page-actions: after all %zu sessions once more: GDI objects %d, private memory %zu KB\n", ran.size(),
               again.gdi, again.privateBytes / 1024);
        if (Grew(end, again)) {
            failures++;
            printf("page-actions: FAILURE: resources not back to the baseline\n");
        }
    }

    printf("page-actions: checks made: bin names written %d, timeouts written %d, destinations written %d, mode changes %d, "
           "overlong names refused %d, pages opened in stacker %d, mailbox %d, job separator %d mode; "
           "radios refused without a component %d, waits kept through keys typed ahead %d, models taken over %d\n",
           counts.namesWritten, counts.timeoutsWritten, counts.destinationsWritten, counts.modeChanges,
           counts.overlongRefused, counts.opened[1], counts.opened[2], counts.opened[3], counts.noComponentRefusals,
           counts.typedAheadKept, counts.takenOver);
    if (only < 0 && !stopped) {
        /* a kind of check never made proves nothing of its kind */
        const struct {
            const char *what;
            int count;
        } kinds[] = {
            { "bin names written", counts.namesWritten }, { "timeouts written", counts.timeoutsWritten },
            { "destinations written", counts.destinationsWritten }, { "mode changes", counts.modeChanges },
            { "overlong names refused", counts.overlongRefused }, { "pages opened in stacker mode", counts.opened[1] },
            { "pages opened in mailbox mode", counts.opened[2] }, { "pages opened in job separator mode", counts.opened[3] },
        };
        for (const auto &k : kinds) {
            if (k.count == 0) {
                failures++;
                printf("page-actions: FAILURE: no check of %s was made\n", k.what);
            }
        }
    }
    printf("page-actions: %.1f s\n", (GetTickCount() - start) / 1000.0);
    printf("page-actions: %d actions in %zu sessions, %d failures\n", actions, ran.size(), failures);
    DriverStop();
    return failures ? 1 : 0;
}
