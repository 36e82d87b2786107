#include "cmd/pending_operations.h"

bool ShowOptionsDialog() { return false; }
bool ShowToolbar() { return false; }
bool OpenHelp() { return false; }
