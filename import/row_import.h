// The working record of one worksheet scan: what the current row collected
// for its block reference. Each row starts from the reference's own values:
// a property cell changes the drawing only when it differs from what export
// would write for that reference now.
#pragma once
#include "import/import_options.h"
#include "import/import_report.h"
#include "import/property_markers.h"

#include <oaidl.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

// One coordinate, rotation or scale cell as the row gave it.
struct PropertyCell {
    bool present = false;
    std::optional<std::string> text; // when the cell holds text
    std::optional<double> number;    // when the cell supplies a number
    long column = 0;
};

struct RowImport {
    std::string handle;              // the row's handle comment, as it came
    long row = 0;
    std::vector<std::string> tags;   // attribute columns of the row, left to right
    std::vector<std::string> values; // parallel to tags
    std::array<PropertyCell, 3> point;
    int pointCount = 0;              // coordinate columns seen in this row
    std::array<PropertyCell, 3> scale;
    int scaleCount = 0;              // scale columns seen; the next factor to fill
    PropertyCell rotation;           // degrees in the cell
    std::string layer;
    bool layerSeen = false;
    long layerColumn = 0;
    int rowsWithoutHandle = 0;       // over the whole worksheet, never reset
    int emptyHeaders = 0;            // empty header cells met in this row

    // Starts row `rowNumber` for the reference named by `handleText`.
    void BeginRow(std::string handleText, long rowNumber);
    // A coordinate, rotation or scale cell in column `column`. Every such
    // column counts, so that a row's position or scale stays all-or-nothing.
    void TakeNumber(PropertyColumn property, long column, const VARIANT& value);
    void TakeLayer(long column, std::string name);
    void TakeAttribute(std::string tag, std::string value);

    // Writes the row into the drawing: the attribute texts that differ from
    // the reference's, then (unless properties are ignored) position, scale,
    // layer and rotation, in that order, each only when the row supplied it
    // whole and some cell of it differs from what export would write. A
    // property cell that supplies no usable number is told to `report` and
    // leaves the reference's own value.
    void ApplyToDrawing(const ImportOptions& options, const std::string& sheet, ImportReport& report) const;

private:
    bool ApplyProperties(const ImportOptions& options, const std::string& sheet, ImportReport& report) const;
};
