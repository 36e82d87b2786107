// Where an export into the active worksheet starts when asked to find the
// next blank line.
#pragma once
#include "common/grid_limits.h"

#include <comdef.h>

// What FindBlankRow answers when its scan found no blank row: a row past the
// last writable one, so the rows go on in a new worksheet instead of landing
// on data.
inline constexpr int kNoBlankRow = kGridRows;

// The first row at or below row 1 whose cells in columns 1 to 255 all show
// an empty text on the workbook's active sheet; kNoBlankRow when rows 1 to
// 65535 all hold something.
int FindBlankRow(IDispatch* workbook);
