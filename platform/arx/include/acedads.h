// Stand-in for the selection-set functions of acedads.h.
//
// acedSSGet understands the modes the module uses: "_I" (or "I"), the
// implied selection (the references picked before the command; taking it
// clears it), and "" (or null), the interactive pick: "Select objects: " is
// prompted and each input line holds entity handles until an empty line
// ends the pick (a cancel gives RTCAN). Only objects of the current space
// can be picked. A filter of entity-type items (group 0, comma-separated
// names, "*" and "?" wildcards) keeps the matching entities; other filter
// items are not supported (RTERROR). An empty result is RTERROR, as the
// host answers. Selection sets stay allocated until acedSSFree
// (DrawingHost::openSelectionSetCount counts them).
#pragma once
#include "adscodes.h"
#include "adsdef.h"

int acedSSGet(const char* mode, const void* point1, const void* point2, const resbuf* filter, ads_name ss);
int acedSSFree(const ads_name ss);
int acedSSLength(const ads_name ss, long* length);
int acedSSName(const ads_name ss, long index, ads_name entity);
