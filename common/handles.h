// The handles the module holds: each kind is a UniqueResource with its close call.
#pragma once
#include "common/unique_resource.h"

#include <acedads.h>
#include <windows.h>

// An open registry key.
using UniqueRegistryKey = UniqueResource<HKEY, &RegCloseKey>;
// A selection set the host made for the module.
using UniqueSelectionSet = UniqueResource<ads_name, &acedSSFree>;
