// Umbrella header standing in for <windows.h>: the module includes this one
// header for everything Win32, as it would on the real platform.
#pragma once
#include "wintypes.h"
#include "winerror.h"
#include "loader.h"
#include "last_error.h"
#include "registry.h"
#include "private_profile.h"
#include "message_box.h"
#include "synch.h"
#include "winuser.h"
#include "timers.h"
#include "codepage.h"
#include "format_message.h"
