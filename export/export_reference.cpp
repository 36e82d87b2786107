#include "export/export_reference.h"

#include "app/resource_strings.h"
#include "export/collect_attributes.h"
#include "export/drawing_objects.h"
#include "export/export_rows.h"
#include "export/number_text.h"
#include "export/worksheet_writer.h"
#include "res/resource.h"

#include <dbents.h>
#include <dbsymtb.h>

#include <adslib.h>

#include <climits>
#include <cstdio>

namespace {

// Resource string `id` with its printf-style fields filled in.
template <typename... Args>
std::string FormatResource(unsigned id, Args... args)
{
    const std::string format = ResourceString(id);
    const int length = std::snprintf(nullptr, 0, format.c_str(), args...);
    if (length <= 0)
        return format;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format.c_str(), args...);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

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

bool ReadReference(AcDbBlockReference* reference, bool withLayout, const std::vector<std::string>& extraTags,
                   ReferenceData& data)
{
    AcDbHandle handle;
    reference->getAcDbHandle(handle);
    char handleText[17] = {};
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
    if (CurrentRow < INT_MAX)
        ++CurrentRow;
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
    CurrentRow = 1;
    acutPrintf("%s", FormatResource(IDS_EXPORT_CONTINUED, blockName.c_str(), sheetName.c_str(),
                                    kHighestWritableRow).c_str());
}

// Tells the user about every value that did not fit its cell.
void ReportWithheld(const std::vector<int>& columns, const ExportRows& rows, const std::string& blockName)
{
    for (const int column : columns) {
        const auto index = static_cast<std::size_t>(column);
        if (index >= rows.values.size() || index > rows.labels.size())
            continue;
        acutPrintf("%s", FormatResource(IDS_VALUE_TOO_LONG, blockName.c_str(), rows.values[0].c_str(),
                                        rows.labels[index - 1].c_str(),
                                        static_cast<int>(kCellCharacterLimit)).c_str());
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
        if (CurrentRow >= 1 && !RowsFit(rowsNeeded())) {
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
