#include "livelink/livelink.h"

// The event sink is not part of the module yet: Connect starts nothing and
// says so, and the incremental import finds nothing to take.
bool ConnectLiveLink() { return false; }
bool ImportChanges() { return false; }

bool DisconnectLiveLink()
{
    // Only a sink interface handed over by a Connect can be disabled, and the
    // module has no event sink yet, so no Connect ever leaves one: there is
    // nothing listening to switch off.
    return true;
}
