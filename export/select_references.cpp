#include "export/select_references.h"

#include "common/handles.h"

#include <acdbads.h>
#include <acedads.h>
#include <adscodes.h>

int SelectReferences(AcDbObjectIdArray& list)
{
    // Block references only.
    char insert[] = "INSERT";
    resbuf filter{};
    filter.restype = 0;
    filter.resval.rstring = insert;
    filter.rbnext = nullptr;

    // References already selected when the command started count first;
    // otherwise the user is asked to select.
    ads_name picked;
    if (acedSSGet("_I", nullptr, nullptr, &filter, picked) != RTNORM
        && acedSSGet("", nullptr, nullptr, &filter, picked) != RTNORM)
        return 0;
    UniqueSelectionSet selection;
    selection.adopt(picked);

    long count = 0;
    acedSSLength(selection.get(), &count);
    for (long i = 0; i < count; ++i) {
        ads_name entity;
        AcDbObjectId id;
        if (acedSSName(selection.get(), i, entity) == RTNORM && acdbGetObjectId(id, entity) == Acad::eOk)
            list.append(id);
    }
    return static_cast<int>(count);
}
