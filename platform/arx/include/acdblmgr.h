// Stand-in for the host's layout manager (acdblmgr.h).
#pragma once
#include "acadstrc.h"

class AcDbDatabase;

class AcDbLayoutManager {
public:
    // The name of the active layout: "Model" when model space is active and
    // `allowModel` is set, otherwise the active paper-space layout. `name` is
    // a copy the caller frees (acutDelString). `database` defaults to the
    // working database; eNoDatabase when there is none.
    Acad::ErrorStatus getActiveLayoutName(char*& name, bool allowModel, const AcDbDatabase* database = nullptr);
};
