// Switching the live link off. Export does it before it writes, so that the
// sink does not report the export's own cells as user edits.
#include "cmd/operations.h"

bool DisconnectLiveLink()
{
    // Only a sink interface handed over by a Connect can be disabled, and the
    // module has no event sink yet, so no Connect ever leaves one: there is
    // nothing listening to switch off.
    return true;
}
