#include "export/drawing_objects.h"

#include <acdblmgr.h>
#include <dbapserv.h>
#include <dbsymtb.h>

AcDbDatabase* WorkingDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

bool OpenBlockTable(AcDbObjectPointer<AcDbBlockTable>& table)
{
    AcDbDatabase* database = WorkingDatabase();
    if (!database)
        return false;
    AcDbBlockTable* opened = nullptr;
    if (database->getBlockTable(opened, AcDb::kForRead) != Acad::eOk)
        return false;
    table.acquire(opened);
    return true;
}

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
