// The module's menu group GWELL16 (the menu file gwmenu16.cui beside the
// module): loaded and its pull-down placed on the host's menu bar once per
// host session by "C:init_gwell", and its toolbar shown by the keyword Toolbar.
#pragma once

// "C:init_gwell": loads the menu group unless it is loaded, and inserts its
// pull-down just before the last titled item of the menu bar.
int InitGwellMenu();
// Where the pull-down goes on the main window's menu bar; -1 when there is
// no main window or no menu bar.
int MenuInsertionPosition();
// The keyword Toolbar: the menu set-up, then the toolbar shown; true always.
bool ShowToolbar();
