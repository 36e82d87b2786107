// The pick step of an export: the block references the user selects.
#pragma once
#include <dbidar.h>

// Adds the block references the user selects (or had selected before the
// command) to `list`; returns how many, 0 when the user picked nothing or
// cancelled.
int SelectReferences(AcDbObjectIdArray& list);
