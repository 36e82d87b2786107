#include "export/export_reference.h"

#include "common/command_line.h"
#include "common/module_state.h"
#include "common/resource_strings.h"
#include "export/collect_attributes.h"
#include "export/drawing_objects.h"
#include "export/export_rows.h"
#include "common/number_text.h"
#include "export/worksheet_writer.h"
#include "res/resource.h"

#include <dbents.h>
#include <dbobjptr.h>
#include <dbsymtb.h>

#include <adslib.h>

#include <climits>
#include <string>

namespace {

// A handle as text: up to 16 hexadecimal digits and the end.
constexpr std::size_t kHandleTextBuffer = 17;

bool ReadBlockName(const AcDbBlockReference* reference, std::string& name)
{
    AcDbBlockTableRecordPointer block(reference->blockTableRecord(), AcDb::kForRead);
    if (block.openStatus() != Acad::eOk)
        return false;
    const char* text = nullptr;
    if (block->getName(text) != Acad::eOk || !text)
        return false;
    name = text;
    return true;
}

bool ReadReference(AcDbBlockReference* reference, bool withLayout, const std::vector<std::string>& extraTags,
                   ReferenceData& data)
{
    AcDbHandle handle;
    reference->getAcDbHandle(handle);
    char handleText[kHandleTextBuffer] = {};
    handle.getIntoAsciiBuffer(handleText);
    data.handle = handleText;

    if (!CollectAttributes(reference, data.attributes, extraTags))
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
    int& currentRow = TheModuleState().currentRow;
    if (currentRow < INT_MAX)
        ++currentRow;
}

// Goes on with the block on a worksheet of its own after the current one is
// full. A sheet of the block's own is named after the block with the
// sheet's number, when the program takes that name; a shared sheet's
// successor keeps its default name, since it goes on holding every block.
void ContinueOnNewWorksheet(const std::string& blockName, const Settings& settings, BlockExport& block)
{
    ++block.continuations;
    const std::string wanted = SharesActiveWorksheet(settings)
        ? std::string()
        : blockName + " (" + std::to_string(block.continuations + 1) + ")";
    const std::string sheetName = OpenBlockWorksheet(wanted);
    TheModuleState().currentRow = 1;
    PrintText(FormatResource(IDS_EXPORT_CONTINUED, {blockName, sheetName, std::to_string(kHighestWritableRow)}));
}

// Tells the user about every value that did not fit its cell.
void ReportWithheld(const std::vector<int>& columns, const ExportRows& rows, const std::string& blockName)
{
    for (const int column : columns) {
        const auto index = static_cast<std::size_t>(column);
        if (index >= rows.values.size() || index > rows.labels.size())
            continue;
        PrintText(FormatResource(IDS_VALUE_TOO_LONG, {blockName, rows.values[0], rows.labels[index - 1],
                                                      std::to_string(kCellCharacterLimit)}));
    }
}

} // namespace

bool ExportReference(AcDbBlockReference* reference, const Settings& settings, bool first, BlockExport& block)
{
    if (!SpreadsheetRunning())
        return false;
    ReferenceData data;
    if (!ReadBlockName(reference, data.blockName))
        return false;

    const std::string blockName = data.blockName;
    if (ReadReference(reference, settings.LayoutNames, block.extraTags, data)) {
        const ExportRows rows = BuildExportRows(std::move(data), settings, {LinearText, AngleText},
                                                [](unsigned id) { return ResourceString(id); });
        // A sheet of the block's own always gets its header; the shared
        // sheet only when asked, so that runs of rows can follow each other.
        const bool header = !SharesActiveWorksheet(settings) || settings.AddHeader;
        if (first && !SharesActiveWorksheet(settings))
            OpenBlockWorksheet(blockName);
        bool headerRows = first;
        auto rowsNeeded = [&] {
            return (headerRows ? (header ? 1 : 0) + (settings.ExportAttPrompts ? 1 : 0) : 0)
                + (settings.OddLine ? 1 : 0) + 1;
        };
        // The rows go to the program as 16-bit numbers: a row past the last
        // one goes on to a further worksheet, with the header rows again so
        // that its rows can be read back on their own.
        if (TheModuleState().currentRow >= 1 && !RowsFit(rowsNeeded())) {
            ContinueOnNewWorksheet(blockName, settings, block);
            headerRows = true;
        }
        if (headerRows) {
            if (header)
                WriteRow(true, rows.labels, rows.notes, settings);
            if (settings.ExportAttPrompts)
                WriteRow(true, rows.prompts, {}, settings);
        }
        if (settings.OddLine)
            SkipRow();
        ReportWithheld(WriteRow(false, rows.values, {}, settings), rows, blockName);
    }

    // Fitting after every row but a block's first keeps the columns readable
    // while the export runs.
    if (!first && !settings.NoAutofit)
        AutofitColumns();
    return true;
}
