#include "cmd/pending_operations.h"

#include "ui/options_dialog.h"

bool ShowOptionsDialog() { return RunOptionsDialog(); }
