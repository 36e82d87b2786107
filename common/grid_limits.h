// The worksheet grid of the spreadsheet program generation the module was
// made for, and the limits of the calls that reach it. Export and import
// scan, write and stop by these numbers alike.
#pragma once
#include <climits>
#include <cstddef>

// Rows 1 to 65536 and columns 1 to 256 (A to IV).
inline constexpr int kGridRows = 65536;
inline constexpr int kGridColumns = 256;
// Scans of a worksheet stop short of the grid's last row and column.
inline constexpr int kLastScannedRow = kGridRows - 1;
inline constexpr int kLastScannedColumn = kGridColumns - 1;

// Rows travel to the spreadsheet's cell lookup as 16-bit numbers: no row
// beyond this one can be written.
inline constexpr int kHighestWritableRow = SHRT_MAX;

// The most characters (UTF-16 units) one cell holds.
inline constexpr std::size_t kCellCharacterLimit = 32767;
