// A data symbol of a loaded module, for the stand-ins that read the tables
// of the resource module (strings, dialogs, menus); null when absent.
#pragma once
#include <windows.h>

const void* LoaderFindData(HINSTANCE instance, const char* symbol);
