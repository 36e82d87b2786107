// Hard limits for opening .xlsx files: a file beyond any of them is refused
// with a clear error before it can exhaust memory.
#pragma once
#include <cstddef>

namespace excelsim::xlsx {

// They are set above what this system's own export writes for a million
// references (some thirty sheets of at most 32,767 rows, each row with a
// comment, no part near 64 MiB), so that every workbook it wrote can be read
// back, and below what would take an ordinary machine's memory.
inline constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;  // the package itself
inline constexpr long long kMaxEntries = 10000;                       // parts in the package
inline constexpr std::size_t kMaxPartBytes = std::size_t{64} << 20;  // one part, uncompressed
inline constexpr std::size_t kMaxTotalBytes = std::size_t{4} << 30;  // all parts read, uncompressed
inline constexpr std::size_t kMaxSheets = 1024;
inline constexpr std::size_t kMaxCells = 64000000;                    // over all sheets
inline constexpr std::size_t kMaxSharedStrings = 16000000;
inline constexpr std::size_t kMaxStyles = 65536;              // fonts, formats, cell formats each
inline constexpr std::size_t kMaxTextChars = 32767;           // one cell or string, as the program allows
// One cell text as stored: every code unit may take an escape of 7 bytes.
inline constexpr std::size_t kMaxEscapedTextBytes = kMaxTextChars * 7;
inline constexpr int kMaxXmlDepth = 64;

} // namespace excelsim::xlsx
