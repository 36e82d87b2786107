// The keyword Help: the help file gwell.chm beside the module, shown by the
// HTML Help viewer (hhctrl.ocx), which the module loads on first use and
// keeps until it is unloaded.
#pragma once

void OpenHelp();
