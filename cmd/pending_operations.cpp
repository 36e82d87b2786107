// Keyword operations whose subsystems are not part of the module yet. Each
// does nothing and reports that nothing ran; the subsystem that brings the
// operation removes it from here.
#include "cmd/operations.h"

bool ShowOptionsDialog() { return false; }
bool ShowToolbar() { return false; }
bool OpenHelp() { return false; }
