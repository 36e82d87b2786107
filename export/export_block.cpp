#include "export/export_block.h"

#include "export/collect_attributes.h"
#include "export/drawing_objects.h"
#include "export/export_reference.h"
#include "export/reference_filters.h"

#include <dbents.h>
#include <dbobjptr.h>
#include <dbsymtb.h>

namespace {

// The block's direct references, erased ones included; the table and the
// definition are closed again before anything is written.
bool ListReferences(const std::string& blockName, AcDbObjectIdArray& ids)
{
    AcDbObjectPointer<AcDbBlockTable> table;
    if (!OpenBlockTable(table))
        return false;
    AcDbBlockTableRecord* rawBlock = nullptr;
    if (table->getAt(blockName.c_str(), rawBlock, AcDb::kForRead) != Acad::eOk)
        return false;
    AcDbBlockTableRecordPointer block;
    block.acquire(rawBlock);
    block->getBlockReferenceIds(ids, /*directOnly=*/true, /*forceValidity=*/false);
    return true;
}

// Opens the reference for read when it is one that export writes: not
// erased, a block reference, and owned by something that opens (a reference
// whose owner cannot be opened belongs nowhere the user can see).
bool OpenExportable(const AcDbObjectId& id, AcDbBlockReferencePointer& reference)
{
    if (id.isErased())
        return false;
    if (reference.open(id, AcDb::kForRead) != Acad::eOk)
        return false;
    AcDbObject* rawOwner = nullptr;
    if (acdbOpenAcDbObject(rawOwner, reference->ownerId(), AcDb::kForRead, false) != Acad::eOk)
        return false;
    AcDbObjectPointer<AcDbObject> owner;
    owner.acquire(rawOwner);
    return true;
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
        AcDbBlockReferencePointer reference;
        if (OpenExportable(id, reference))
            NoteExtraAttributes(reference.object(), extras);
    }

    BlockExport block;
    block.extraTags = extras.tags();
    bool first = true;
    for (const AcDbObjectId& id : ids) {
        AcDbBlockReferencePointer reference;
        if (!OpenExportable(id, reference))
            continue;
        ExportReference(reference.object(), settings, first, block);
        first = false;
    }
    return true;
}
