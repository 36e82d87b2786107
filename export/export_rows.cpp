#include "export/export_rows.h"

#include "res/resource.h"

#include "common/case_fold.h"
#include "common/number_text.h"

#include <algorithm>

void SortAttributesByTag(std::vector<AttributeRecord>& records)
{
    std::sort(records.begin(), records.end(), [](const AttributeRecord& a, const AttributeRecord& b) {
        return CompareInUserCollation(a.tag.c_str(), b.tag.c_str()) < 0;
    });
}

ExportRows BuildExportRows(ReferenceData reference, const Settings& settings, const ValueFormats& formats,
                           const std::function<std::string(unsigned)>& text)
{
    ExportRows rows;
    rows.values.push_back(reference.handle);
    if (settings.BlockNames) {
        rows.labels.push_back(text(IDS_COLUMN_BLOCK_NAME));
        rows.values.push_back(reference.blockName);
        rows.prompts.emplace_back();
    }

    if (settings.Sort)
        SortAttributesByTag(reference.attributes);
    for (AttributeRecord& record : reference.attributes) {
        if (record.constant && !settings.IncludeConstant)
            continue;
        rows.labels.push_back(record.tag);
        rows.values.push_back(std::move(record.value));
        rows.prompts.push_back(std::move(record.prompt));
    }
    // Block-name and attribute columns carry no marker.
    rows.notes.assign(rows.values.size() - 1, std::string());

    auto addColumn = [&](unsigned label, unsigned note, std::string value) {
        rows.labels.push_back(text(label));
        rows.notes.push_back(text(note));
        rows.values.push_back(std::move(value));
    };
    auto coordinate = [&](double value) { return formats.linear(settings.JTSK ? JtskCoordinate(value) : value); };

    if (settings.XCoord)
        addColumn(IDS_COLUMN_X, IDS_MARKER_X, coordinate(reference.position[0]));
    if (settings.YCoord)
        addColumn(IDS_COLUMN_Y, IDS_MARKER_Y, coordinate(reference.position[1]));
    if (settings.ZCoord)
        addColumn(IDS_COLUMN_Z, IDS_MARKER_Z, coordinate(reference.position[2]));
    if (settings.Rotation)
        addColumn(IDS_COLUMN_ROTATION, IDS_MARKER_ROTATION, formats.angle(reference.rotation));
    if (settings.Scale) {
        addColumn(IDS_COLUMN_SCALE_X, IDS_MARKER_SCALE_X, formats.linear(reference.scale[0]));
        addColumn(IDS_COLUMN_SCALE_Y, IDS_MARKER_SCALE_Y, formats.linear(reference.scale[1]));
        addColumn(IDS_COLUMN_SCALE_Z, IDS_MARKER_SCALE_Z, formats.linear(reference.scale[2]));
    }
    if (settings.LayerNames)
        addColumn(IDS_COLUMN_LAYER, IDS_MARKER_LAYER, std::move(reference.layer));
    if (settings.LayoutNames && reference.layout)
        addColumn(IDS_COLUMN_LAYOUT, IDS_MARKER_LAYOUT, std::move(*reference.layout));
    return rows;
}
