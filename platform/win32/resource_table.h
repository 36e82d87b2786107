// The layout of a resource module as the resource compiler stand-in
// (tools/rc2cpp.cmake) emits it: a shared object exporting its string table.
// LoadStringA reads it; nothing in the module includes this header.
#pragma once

struct GwResourceString {
    unsigned id;
    const char* text;
};

#define GW_RESOURCE_STRINGS_SYMBOL "gwResourceStrings"
#define GW_RESOURCE_STRING_COUNT_SYMBOL "gwResourceStringCount"
