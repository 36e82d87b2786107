// The working record of one worksheet scan: what the current row collected
// for its block reference, and what carries over from row to row.
#pragma once
#include "import/property_markers.h"

#include <gepnt3d.h>
#include <gescl3d.h>
#include <oaidl.h>

#include <string>
#include <vector>

struct RowImport {
    std::string handle;              // the row's handle comment, as it came
    std::vector<std::string> tags;   // attribute columns of the row, left to right
    std::vector<std::string> values; // parallel to tags
    // Point, scale, rotation and layer keep their values from one row to the
    // next, so a cell that gives no number leaves what an earlier row left.
    AcGePoint3d point;               // 0, 0, 0
    int pointCount = 0;              // coordinate columns seen in this row
    AcGeScale3d scale;               // 1, 1, 1
    int scaleCount = 0;              // scale columns seen; the next factor to fill
    double rotation = 0;             // radians
    bool rotationSeen = false;
    std::string layer;
    bool layerSeen = false;
    int rowsWithoutHandle = 0;       // over the whole worksheet, never reset
    int emptyHeaders = 0;            // empty header cells met in this row

    // Starts a row for the reference named by `handleText`.
    void BeginRow(std::string handleText);
    // A coordinate, rotation (degrees in the cell) or scale cell. A value that
    // gives no finite number leaves the field as it was; the column still
    // counts, so a row's position or scale goes on being all-or-nothing.
    void TakeNumber(PropertyColumn column, const VARIANT& value);
    void TakeLayer(std::string name);
    void TakeAttribute(std::string tag, std::string value);

    // Writes the row into the drawing: the attribute texts always, then (unless
    // properties are ignored) position, scale, layer and rotation, in that
    // order, each only when the row supplied it whole.
    void ApplyToDrawing(bool ignoreProps) const;
};
