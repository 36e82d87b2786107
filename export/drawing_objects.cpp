#include "export/drawing_objects.h"

#include <acdblmgr.h>
#include <dbapserv.h>

AcDbDatabase* WorkingDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

std::optional<std::string> ActiveLayoutName()
{
    AcDbLayoutManager* layouts = acdbHostApplicationServices()->layoutManager();
    if (!layouts)
        return std::nullopt;
    HostText name;
    if (layouts->getActiveLayoutName(name.slot(), true) != Acad::eOk || name.empty())
        return std::nullopt;
    return std::string(name.get());
}
