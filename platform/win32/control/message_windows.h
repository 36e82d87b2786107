// Control face of the thread message queue: message-only windows for the
// other stand-ins (the COM apartments dispatch their calls through one).
#pragma once
#include <winuser.h>

// A message-only window (as CreateWindowEx with HWND_MESSAGE would make),
// owned by the calling thread; its messages are dispatched to `procedure`.
HWND CreateMessageWindow(WNDPROC procedure);
