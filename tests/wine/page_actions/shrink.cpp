/* Delta debugging over a session's actions: halves, then quarters, down to single actions,
 * with a bound on the replays that keeps a failing run within the suite's time. */
#include "shrink.h"

static const int kMaxTries = 150;

std::vector<bool> Shrink(size_t actions, const std::function<std::string(const std::vector<bool> &)> &run,
                         std::string *last)
{
    std::vector<bool> keep(actions, true);
    int tries = 0;
    for (size_t chunk = actions / 2; chunk >= 1 && tries < kMaxTries; chunk /= 2) {
        bool dropped = true;
        while (dropped && tries < kMaxTries) {
            dropped = false;
            for (size_t start = 0; start < actions && tries < kMaxTries; start += chunk) {
                std::vector<bool> trial = keep;
                bool any = false;
                for (size_t i = start; i < start + chunk && i < actions; i++) {
                    any = any || trial[i];
                    trial[i] = false;
                }
                if (!any)
                    continue;
                tries++;
                std::string failure = run(trial);
                if (!failure.empty()) {
                    keep = trial;
                    *last = failure;
                    dropped = true;
                }
            }
        }
        if (chunk == 1)
            break;
    }
    return keep;
}
