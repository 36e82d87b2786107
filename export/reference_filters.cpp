#include "export/reference_filters.h"

#include "export/drawing_objects.h"

#include <unordered_set>

AcDbObjectIdArray SelectedReferences;
LayerFilterSettings LayerFilter;

namespace {

// Layer names compare as the host compares them: ASCII letters without case.
std::string FoldLayer(const char* name)
{
    std::string key = name ? name : "";
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return key;
}

} // namespace

void ApplyLayerFilter(AcDbObjectIdArray& ids, const LayerFilterSettings& filter)
{
    std::unordered_set<std::string> layers;
    for (const std::string& layer : filter.layers)
        layers.insert(FoldLayer(layer.c_str()));
    KeepReferences(ids, [&](const AcDbObjectId& id) {
        OpenObject<AcDbEntity> entity;
        // Erased references are looked at too; a later step skips them.
        if (acdbOpenAcDbEntity(entity.slot(), id, AcDb::kForRead, true) != Acad::eOk)
            return false;
        HostText layer;
        layer.slot() = entity->layer();
        return !layer.empty() && layers.count(FoldLayer(layer.get())) != 0;
    });
}

void ApplySelectionFilter(AcDbObjectIdArray& ids, const AcDbObjectIdArray& selected)
{
    const std::unordered_set<AcDbObjectId> picked(selected.begin(), selected.end());
    KeepReferences(ids, [&](const AcDbObjectId& id) { return picked.count(id) != 0; });
}
