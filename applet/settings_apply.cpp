/* Settings apply (placeholder). */
#include "binpanel.h"

void ApplyHcoSettings(void) {}
