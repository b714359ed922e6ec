/* The sessions' host window: a dialog of the test holding the page as a child, as a host
 * administration program holds it. */
#ifndef PAGE_ACTIONS_HOST_H
#define PAGE_ACTIONS_HOST_H

#define IDD_SESSION_HOST 300

#endif
