// The dialog templates and menus of a resource module, as the resource
// compiler stand-in emits them (resource_table.h).
#pragma once
#include "resource_table.h"

#include <windows.h>

// Template `id` of the module, or null.
const GwDialogTemplate* FindDialogTemplate(HINSTANCE module, UINT id);
// Menu `id` of the module, or null.
const GwMenuTemplate* FindMenuTemplate(HINSTANCE module, UINT id);
