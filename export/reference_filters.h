// The user's narrowing of an export: references picked in the drawing and
// the layers chosen in the filter dialog. Both live as long as the module;
// export reads them, the pick step and the filter dialog write them.
#pragma once
#include <dbidar.h>

#include <string>
#include <vector>

// Block references the user picked; empty means no selection limit. Every
// export command empties it first.
extern AcDbObjectIdArray SelectedReferences;

struct LayerFilterSettings {
    bool on = false;
    std::vector<std::string> layers; // exact names, compared without case
};
// Set only by the filter dialog when it is confirmed.
extern LayerFilterSettings LayerFilter;

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

// The pick step: adds the block references the user selects (or had selected
// before the command) to SelectedReferences; returns how many, 0 when the
// user picked nothing or cancelled.
int SelectReferences(AcDbObjectIdArray& list);
