// Umbrella header standing in for <windows.h>: the module includes this one
// header for everything Win32, as it would on the real platform.
#pragma once
#include "windef.h"
#include "winerror.h"
#include "errhandlingapi.h"
#include "handleapi.h"
#include "libloaderapi.h"
#include "synchapi.h"
#include "processthreadsapi.h"
#include "winbase.h"
#include "winnls.h"
#include "winreg.h"
#include "wingdi.h"
#include "winuser.h"
