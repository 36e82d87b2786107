#include "export/export_reference.h"

#include "app/resource_strings.h"
#include "export/collect_attributes.h"
#include "export/drawing_objects.h"
#include "export/export_rows.h"
#include "export/number_text.h"
#include "export/worksheet_writer.h"

#include <dbents.h>
#include <dbsymtb.h>

#include <climits>

namespace {

bool ReadBlockName(const AcDbBlockReference* reference, std::string& name)
{
    OpenObject<AcDbBlockTableRecord> block;
    if (acdbOpenObject(block.slot(), reference->blockTableRecord(), AcDb::kForRead, false) != Acad::eOk)
        return false;
    const char* text = nullptr;
    if (block->getName(text) != Acad::eOk || !text)
        return false;
    name = text;
    return true;
}

bool ReadReference(AcDbBlockReference* reference, bool withLayout, ReferenceData& data)
{
    AcDbHandle handle;
    reference->getAcDbHandle(handle);
    char handleText[17] = {};
    handle.getIntoAsciiBuffer(handleText);
    data.handle = handleText;

    if (!CollectAttributes(reference, data.attributes))
        return false;
    const AcGePoint3d position = reference->position();
    data.position[0] = position.x;
    data.position[1] = position.y;
    data.position[2] = position.z;
    data.rotation = reference->rotation();
    const AcGeScale3d scale = reference->scaleFactors();
    data.scale[0] = scale.sx;
    data.scale[1] = scale.sy;
    data.scale[2] = scale.sz;
    HostText layer;
    layer.slot() = reference->layer();
    data.layer = layer.get();
    if (withLayout)
        data.layout = ActiveLayoutName();
    return true;
}

// A row counter at the end of int's range must not wrap into a writable row.
void SkipRow()
{
    if (CurrentRow < INT_MAX)
        ++CurrentRow;
}

} // namespace

bool ExportReference(AcDbBlockReference* reference, const Settings& settings, bool first)
{
    if (!SpreadsheetRunning())
        return false;
    ReferenceData data;
    if (!ReadBlockName(reference, data.blockName))
        return false;

    const std::string blockName = data.blockName;
    if (ReadReference(reference, settings.LayoutNames, data)) {
        const ExportRows rows = BuildExportRows(std::move(data), settings, {LinearText, AngleText},
                                                [](unsigned id) { return ResourceString(id); });
        if (first) {
            // A sheet of the block's own always gets its header; the shared
            // sheet only when asked, so that runs of rows can follow each other.
            if (!SharesActiveWorksheet(settings)) {
                OpenBlockWorksheet(blockName);
                WriteRow(true, rows.labels, rows.notes, settings);
            } else if (settings.AddHeader) {
                WriteRow(true, rows.labels, rows.notes, settings);
            }
            if (settings.ExportAttPrompts)
                WriteRow(true, rows.prompts, {}, settings);
        }
        if (settings.OddLine)
            SkipRow();
        WriteRow(false, rows.values, {}, settings);
    }

    // Fitting after every row but a block's first keeps the columns readable
    // while the export runs.
    if (!first && !settings.NoAutofit)
        AutofitColumns();
    return true;
}
