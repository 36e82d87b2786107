#include "export/select_references.h"

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
    ads_name selection;
    if (acedSSGet("_I", nullptr, nullptr, &filter, selection) != RTNORM
        && acedSSGet("", nullptr, nullptr, &filter, selection) != RTNORM)
        return 0;

    long count = 0;
    acedSSLength(selection, &count);
    for (long i = 0; i < count; ++i) {
        ads_name entity;
        AcDbObjectId id;
        if (acedSSName(selection, i, entity) == RTNORM && acdbGetObjectId(id, entity) == Acad::eOk)
            list.append(id);
    }
    acedSSFree(selection);
    return static_cast<int>(count);
}
