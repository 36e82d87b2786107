// The user's narrowing of an export: references picked in the drawing and
// the layers chosen in the filter dialog. Both are part of the module's
// state (common/module_state.h); export reads them, the pick step and the
// filter dialog write them.
#pragma once
#include "common/module_state.h"

#include <dbidar.h>

// Keeps, in order, the ids for which `keep` says true; one compacting pass,
// so thinning a long reference list costs no more than walking it.
template <class Keep>
void KeepReferences(AcDbObjectIdArray& ids, Keep keep)
{
    int kept = 0;
    for (int i = 0; i < ids.length(); ++i) {
        if (keep(ids[i])) {
            if (kept != i)
                ids[kept] = ids[i];
            ++kept;
        }
    }
    ids.setLogicalLength(kept);
}

// Drops every reference that is not on one of the filter's layers, and every
// one that does not open.
void ApplyLayerFilter(AcDbObjectIdArray& ids, const LayerFilterSettings& filter);
// Drops every reference that is not among `selected`.
void ApplySelectionFilter(AcDbObjectIdArray& ids, const AcDbObjectIdArray& selected);
