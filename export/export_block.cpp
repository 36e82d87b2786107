#include "export/export_block.h"

#include "export/collect_attributes.h"
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

// Opens the reference for read when it is one that export writes: not
// erased, a block reference, and owned by something that opens (a reference
// whose owner cannot be opened belongs nowhere the user can see).
bool OpenExportable(const AcDbObjectId& id, OpenObject<AcDbBlockReference>& reference)
{
    if (id.isErased())
        return false;
    if (acdbOpenObject(reference.slot(), id, AcDb::kForRead, false) != Acad::eOk)
        return false;
    OpenObject<AcDbObject> owner;
    return acdbOpenAcDbObject(owner.slot(), reference->ownerId(), AcDb::kForRead, false) == Acad::eOk;
}

} // namespace

bool ExportBlock(const std::string& blockName, const Settings& settings)
{
    AcDbObjectIdArray ids;
    if (!ListReferences(blockName, ids))
        return false;
    const ModuleState& state = TheModuleState();
    if (state.layerFilter.on)
        ApplyLayerFilter(ids, state.layerFilter);
    if (!state.selectedReferences.isEmpty())
        ApplySelectionFilter(ids, state.selectedReferences);

    // The header is written before the first reference, so the columns for
    // attributes that the definitions lack must be known for all references
    // of the block before any is written.
    ExtraAttributeTags extras;
    for (const AcDbObjectId& id : ids) {
        OpenObject<AcDbBlockReference> reference;
        if (OpenExportable(id, reference))
            NoteExtraAttributes(reference.get(), extras);
    }

    BlockExport block;
    block.extraTags = extras.tags();
    bool first = true;
    for (const AcDbObjectId& id : ids) {
        OpenObject<AcDbBlockReference> reference;
        if (!OpenExportable(id, reference))
            continue;
        ExportReference(reference.get(), settings, first, block);
        first = false;
    }
    return true;
}
