// Umbrella header standing in for <windows.h>: the module includes this one
// header for everything Win32, as it would on the real platform.
#pragma once
#include "windef.h"
#include "winerror.h"
#include "loader.h"
#include "errhandlingapi.h"
#include "winreg.h"
#include "winbase.h"
#include "message_box.h"
#include "synch.h"
#include "timers.h"
#include "codepage.h"
#include "format_message.h"
