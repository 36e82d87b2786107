#include "import/row_import.h"

#include "automation/ansi_text.h"
#include "common/number_text.h"
#include "import/cell_number.h"
#include "import/drawing_update.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
// Beyond a billion degrees a double no longer resolves the angle to a tenth
// of a microdegree, so the number names no meaningful rotation.
constexpr double kMostDegrees = 1e9;

enum class Verdict { Unchanged, Changed, Unreadable };

// The spreadsheet program keeps 15 significant digits of a number typed or
// converted into a cell, so a long exported text comes back as a number that
// differs from it beyond those digits; that is still the number export wrote.
bool SameShownNumber(double shown, double cell)
{
    if (shown == cell)
        return true;
    // "%.15g" of any double fits with room to spare.
    constexpr std::size_t kShownBuffer = 32;
    char a[kShownBuffer], b[kShownBuffer];
    std::snprintf(a, sizeof a, "%.15g", shown);
    std::snprintf(b, sizeof b, "%.15g", cell);
    return std::strcmp(a, b) == 0;
}

// Compares a cell with `written`, the text export writes for the
// reference's own value. A cell that holds that text, or a number equal to
// the one that text reads as, is unchanged: the user left it alone, and the
// reference keeps its full-precision value. Otherwise the cell's number is
// taken when `usable` accepts it.
template <class Usable>
Verdict Judge(const PropertyCell& cell, const std::string& written, Usable&& usable, double& number)
{
    if (cell.text && *cell.text == written)
        return Verdict::Unchanged;
    if (!cell.number)
        return Verdict::Unreadable;
    const std::optional<double> shown = DecimalNumber(written);
    if (shown && SameShownNumber(*shown, *cell.number))
        return Verdict::Unchanged;
    if (!usable(*cell.number))
        return Verdict::Unreadable;
    number = *cell.number;
    return Verdict::Changed;
}

bool AnyNumber(double) { return true; }
bool UsableScale(double factor) { return factor != 0; }
bool UsableDegrees(double degrees) { return std::fabs(degrees) <= kMostDegrees; }

} // namespace

void RowImport::BeginRow(std::string handleText, long rowNumber)
{
    handle = std::move(handleText);
    row = rowNumber;
    tags.clear();
    values.clear();
    point = {};
    pointCount = 0;
    scale = {};
    scaleCount = 0;
    rotation = {};
    layer.clear();
    layerSeen = false;
    layerColumn = 0;
    emptyHeaders = 0;
}

void RowImport::TakeNumber(PropertyColumn property, long column, const VARIANT& value)
{
    PropertyCell cell;
    cell.present = true;
    cell.column = column;
    if (value.vt == VT_BSTR) {
        // A text the code page cannot hold is compared by its number alone;
        // it must not end the run, as reading a number from it never did.
        try {
            cell.text = BstrToAnsi(value.bstrVal, SysStringLen(value.bstrVal));
        } catch (const _com_error&) {
            cell.text.reset();
        }
    }
    double number = 0;
    if (NumberFromCellValue(value, number))
        cell.number = number;

    switch (property) {
    case PropertyColumn::X:
    case PropertyColumn::Y:
    case PropertyColumn::Z:
        point[static_cast<unsigned>(property) - static_cast<unsigned>(PropertyColumn::X)] = std::move(cell);
        ++pointCount;
        break;
    case PropertyColumn::Rotation:
        rotation = std::move(cell);
        break;
    case PropertyColumn::Scale:
        // Columns fill the factors in the order they stand in the row. A
        // fourth scale column has no factor to fill: it is not read, but it
        // counts, so that row's scale is not applied, just as a row with a
        // coordinate column too many is not moved.
        if (scaleCount < 3)
            scale[static_cast<unsigned>(scaleCount)] = std::move(cell);
        ++scaleCount;
        break;
    case PropertyColumn::Layer:
    case PropertyColumn::None:
        break;
    }
}

void RowImport::TakeLayer(long column, std::string name)
{
    layerColumn = column;
    layer = std::move(name);
    layerSeen = true;
}

void RowImport::TakeAttribute(std::string tag, std::string value)
{
    tags.push_back(std::move(tag));
    values.push_back(std::move(value));
}

void RowImport::ApplyToDrawing(const ImportOptions& options, const std::string& sheet, ImportReport& report) const
{
    bool changed = UpdateAttributesByTag(handle, tags, values);
    if (!options.IgnoreProps && ApplyProperties(options, sheet, report))
        changed = true;
    if (changed)
        report.ReferenceChanged(handle);
}

bool RowImport::ApplyProperties(const ImportOptions& options, const std::string& sheet, ImportReport& report) const
{
    EntityProperties own;
    if (!ReadEntityProperties(handle, own))
        return false;
    bool changed = false;
    // Told in the order the cells stand in the row, whatever order the
    // properties are applied in.
    std::vector<long> unreadable;
    auto judge = [&](const PropertyCell& cell, const std::string& written, auto&& usable, double& number) {
        if (!cell.present)
            return false;
        switch (Judge(cell, written, usable, number)) {
        case Verdict::Unchanged:
            return false;
        case Verdict::Unreadable:
            unreadable.push_back(cell.column);
            return false;
        case Verdict::Changed:
            return true;
        }
        return false;
    };

    if (own.isBlockReference && pointCount == 3) {
        // Components the user left alone keep the reference's own values,
        // not the rounded ones the cells show.
        AcGePoint3d target = own.position;
        bool moved = false;
        for (unsigned i = 0; i < 3; ++i) {
            const double ownValue = own.position[i];
            const std::string written = LinearText(options.JTSK ? JtskCoordinate(ownValue) : ownValue);
            moved = judge(point[i], written, AnyNumber, target[i]) || moved;
        }
        if (moved && SetBlockPosition(handle, target))
            changed = true;
    }
    if (own.isBlockReference && scaleCount == 3) {
        AcGeScale3d target = own.scale;
        bool scaled = false;
        for (unsigned i = 0; i < 3; ++i)
            scaled = judge(scale[i], LinearText(own.scale[i]), UsableScale, target[i]) || scaled;
        if (scaled && SetBlockScale(handle, target))
            changed = true;
    }
    if (layerSeen && layer != own.layer) {
        // A blank cell names no layer: the entity keeps its own.
        if (layer.empty())
            unreadable.push_back(layerColumn);
        else if (SetEntityLayer(handle, layer))
            changed = true;
    }
    if (own.isBlockReference) {
        double degrees = 0;
        if (judge(rotation, AngleText(own.rotation), UsableDegrees, degrees)
            && SetBlockRotation(handle, degrees * kRadiansPerDegree))
            changed = true;
    }
    std::sort(unreadable.begin(), unreadable.end());
    for (long column : unreadable)
        report.CellUnreadable(sheet, row, column);
    return changed;
}
