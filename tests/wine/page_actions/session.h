/* One page session: a host window with the page of one of two printers, the session's
 * actions delivered one after the other, the model checked after each. */
#ifndef PAGE_ACTIONS_SESSION_H
#define PAGE_ACTIONS_SESSION_H

#include <string>
#include <vector>
#include "actions.h"
#include "model.h"

/* Runs the session of `seed` with the actions `keep` leaves (all without it); answers its
 * first failure, empty when it passed. Adds the actions it plays (also when it fails early)
 * and the checks made. */
std::string RunSession(unsigned seed, const std::vector<Action> &actions, const std::vector<bool> *keep,
                       int *actionsRun, Counts *counts);

#endif
