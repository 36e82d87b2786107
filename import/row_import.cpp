#include "import/row_import.h"

#include "import/cell_number.h"
#include "import/drawing_update.h"

#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

// The cell's number, or `current` when the cell holds none. Text such as
// "nan" or "1e999" reads as a number that is not finite; such a value would
// corrupt the drawing, so it counts as no number at all.
double NumberOrCurrent(const VARIANT& value, double current)
{
    double number = current;
    NumberFromCellValue(value, number);
    return std::isfinite(number) ? number : current;
}

} // namespace

void RowImport::BeginRow(std::string handleText)
{
    handle = std::move(handleText);
    tags.clear();
    values.clear();
    pointCount = 0;
    scaleCount = 0;
    emptyHeaders = 0;
    rotationSeen = false;
    layerSeen = false;
}

void RowImport::TakeNumber(PropertyColumn column, const VARIANT& value)
{
    switch (column) {
    case PropertyColumn::X:
        point.x = NumberOrCurrent(value, point.x);
        ++pointCount;
        break;
    case PropertyColumn::Y:
        point.y = NumberOrCurrent(value, point.y);
        ++pointCount;
        break;
    case PropertyColumn::Z:
        point.z = NumberOrCurrent(value, point.z);
        ++pointCount;
        break;
    case PropertyColumn::Rotation: {
        // Preloaded with NaN so that "no number" is told apart without
        // converting the kept radians to degrees and back.
        const double degrees = NumberOrCurrent(value, std::numeric_limits<double>::quiet_NaN());
        if (!std::isnan(degrees))
            rotation = degrees * kRadiansPerDegree;
        rotationSeen = true;
        break;
    }
    case PropertyColumn::Scale:
        // Columns fill the factors in the order they stand in the row. A
        // fourth scale column has no factor to fill: it is not read, but it
        // counts, so that row's scale is not applied, just as a row with a
        // coordinate column too many is not moved.
        if (scaleCount < 3)
            scale[static_cast<unsigned>(scaleCount)] = NumberOrCurrent(value, scale[static_cast<unsigned>(scaleCount)]);
        ++scaleCount;
        break;
    case PropertyColumn::Layer:
    case PropertyColumn::None:
        break;
    }
}

void RowImport::TakeLayer(std::string name)
{
    layer = std::move(name);
    layerSeen = true;
}

void RowImport::TakeAttribute(std::string tag, std::string value)
{
    tags.push_back(std::move(tag));
    values.push_back(std::move(value));
}

void RowImport::ApplyToDrawing(bool ignoreProps) const
{
    UpdateAttributesByTag(handle, tags, values);
    if (ignoreProps)
        return;
    if (pointCount == 3)
        SetBlockPosition(handle, point);
    if (scaleCount == 3)
        SetBlockScale(handle, scale);
    if (layerSeen)
        SetEntityLayer(handle, layer);
    if (rotationSeen)
        SetBlockRotation(handle, rotation);
}
