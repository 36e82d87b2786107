// The layout of a module's version resource as the resource compiler
// stand-in (tools/rc2cpp.cmake) emits it from a VERSIONINFO block: one
// exported record. GetFileVersionInfoA reads it; nothing in the module
// includes this header.
#pragma once

struct GwVersionString {
    const char* block; // "040904b0"
    const char* name;  // "FileVersion"
    const char* value;
};

struct GwVersionResource {
    unsigned short fileVersion[4];    // FILEVERSION a,b,c,d
    unsigned short productVersion[4]; // PRODUCTVERSION a,b,c,d
    unsigned fileFlagsMask;
    unsigned fileFlags;
    unsigned fileOS;
    unsigned fileType;
    unsigned fileSubtype;
    const GwVersionString* strings;
    int stringCount;
    // VarFileInfo's Translation: language and code-page words, in pairs.
    const unsigned short* translation;
    int translationWords;
};

#define GW_VERSION_RESOURCE_SYMBOL "gwVersionResource"
