// Tables of the Windows single-byte code pages (874, 1250 to 1258).
#pragma once

// The characters of bytes 0x80..0xFF, or null for a code page not known.
const char16_t* DxfCodePageTable(unsigned codePage);
