// Hard limits for opening .xlsx files: a file beyond any of them is refused
// with a clear error before it can exhaust memory.
#pragma once
#include <cstddef>

namespace excelsim::xlsx {

inline constexpr std::size_t kMaxFileBytes = 64u << 20;      // the package itself
inline constexpr long long kMaxEntries = 10000;               // parts in the package
inline constexpr std::size_t kMaxPartBytes = 64u << 20;       // one part, uncompressed
inline constexpr std::size_t kMaxTotalBytes = 256u << 20;     // all parts read, uncompressed
inline constexpr std::size_t kMaxSheets = 1024;
inline constexpr std::size_t kMaxCells = 2000000;             // over all sheets
inline constexpr std::size_t kMaxSharedStrings = 1000000;
inline constexpr std::size_t kMaxStyles = 65536;              // fonts, formats, cell formats each
inline constexpr std::size_t kMaxTextChars = 32767;           // one cell or string, as the program allows
// One cell text as stored: every code unit may take an escape of 7 bytes.
inline constexpr std::size_t kMaxEscapedTextBytes = kMaxTextChars * 7;
inline constexpr int kMaxXmlDepth = 64;

} // namespace excelsim::xlsx
