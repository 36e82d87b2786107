// How a module of this platform numbers its exports, as a module-definition
// file's "HtmlHelpA @14" does on Windows: an exported table of ordinals and
// the names they stand for, read by GetProcAddress(module, MAKEINTRESOURCEA(n)).
#pragma once

struct GwOrdinalExport {
    unsigned ordinal;
    const char* name;
};

#define GW_ORDINAL_EXPORTS_SYMBOL "gwOrdinalExports"
#define GW_ORDINAL_EXPORT_COUNT_SYMBOL "gwOrdinalExportCount"
