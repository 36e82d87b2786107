// What one block reference becomes in the worksheet: its value row, and the
// header and prompt rows that go before the first reference of a block.
#pragma once
#include "export/attribute_record.h"
#include "settings/settings.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// What export reads from one block reference, before any formatting.
struct ReferenceData {
    std::string handle;    // hexadecimal handle text
    std::string blockName; // as the drawing stores it
    std::vector<AttributeRecord> attributes; // merged, in definition order
    double position[3] = {0, 0, 0};
    double rotation = 0; // radians
    double scale[3] = {1, 1, 1};
    std::string layer;
    std::optional<std::string> layout; // the active layout, when the host named one
};

// The drawing's own number formats (current units and precision).
struct ValueFormats {
    std::function<std::string(double)> linear;
    std::function<std::string(double)> angle;
};

struct ExportRows {
    std::vector<std::string> values;  // [0] the handle text, then one text per column
    std::vector<std::string> labels;  // header row, one per column
    std::vector<std::string> notes;   // header-cell comments; empty for no comment
    std::vector<std::string> prompts; // prompt row
};

// Builds the rows of one reference under the column options of `settings`;
// the column titles and markers come from `text` (resource ids).
ExportRows BuildExportRows(ReferenceData reference, const Settings& settings, const ValueFormats& formats,
                           const std::function<std::string(unsigned)>& text);

// Orders attribute records by tag as the user's locale sorts text, without
// regard to case.
void SortAttributesByTag(std::vector<AttributeRecord>& records);
