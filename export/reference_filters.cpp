#include "export/reference_filters.h"

#include "common/case_fold.h"
#include "export/drawing_objects.h"

#include <dbobjptr.h>

#include <unordered_set>

void ApplyLayerFilter(AcDbObjectIdArray& ids, const LayerFilterSettings& filter)
{
    std::unordered_set<std::string> layers;
    for (const std::string& layer : filter.layers)
        layers.insert(FoldedAscii(layer));
    KeepReferences(ids, [&](const AcDbObjectId& id) {
        // Erased references are looked at too; a later step skips them.
        AcDbEntity* rawEntity = nullptr;
        if (acdbOpenAcDbEntity(rawEntity, id, AcDb::kForRead, true) != Acad::eOk)
            return false;
        AcDbEntityPointer entity;
        entity.acquire(rawEntity);
        HostText layer;
        layer.slot() = entity->layer();
        return !layer.empty() && layers.count(FoldedAscii(layer.get())) != 0;
    });
}

void ApplySelectionFilter(AcDbObjectIdArray& ids, const AcDbObjectIdArray& selected)
{
    const std::unordered_set<AcDbObjectId> picked(selected.begin(), selected.end());
    KeepReferences(ids, [&](const AcDbObjectId& id) { return picked.count(id) != 0; });
}
