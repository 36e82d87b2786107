#include "export/export_block.h"

#include "export/drawing_objects.h"
#include "export/export_reference.h"
#include "export/reference_filters.h"

#include <dbents.h>
#include <dbsymtb.h>

namespace {

// The block's direct references, erased ones included; the table and the
// definition are closed again before anything is written.
bool ListReferences(const std::string& blockName, AcDbObjectIdArray& ids)
{
    AcDbDatabase* database = WorkingDatabase();
    if (!database)
        return false;
    OpenObject<AcDbBlockTable> table;
    if (database->getBlockTable(table.slot(), AcDb::kForRead) != Acad::eOk)
        return false;
    OpenObject<AcDbBlockTableRecord> block;
    if (table->getAt(blockName.c_str(), block.slot(), AcDb::kForRead) != Acad::eOk)
        return false;
    block->getBlockReferenceIds(ids, true, false);
    return true;
}

} // namespace

bool ExportBlock(const std::string& blockName, const Settings& settings)
{
    AcDbObjectIdArray ids;
    if (!ListReferences(blockName, ids))
        return false;
    if (LayerFilter.on)
        ApplyLayerFilter(ids, LayerFilter);
    if (!SelectedReferences.isEmpty())
        ApplySelectionFilter(ids, SelectedReferences);

    bool first = true;
    for (const AcDbObjectId& id : ids) {
        if (id.isErased())
            continue;
        OpenObject<AcDbBlockReference> reference;
        if (acdbOpenObject(reference.slot(), id, AcDb::kForRead, false) != Acad::eOk)
            continue;
        {
            // A reference whose owner cannot be opened belongs nowhere the user can see.
            OpenObject<AcDbObject> owner;
            if (acdbOpenAcDbObject(owner.slot(), reference->ownerId(), AcDb::kForRead, false) != Acad::eOk)
                continue;
        }
        ExportReference(reference.get(), settings, first);
        first = false;
    }
    return true;
}
