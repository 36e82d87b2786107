#include "cmd/pending_operations.h"

#include "app/gwell_app.h"
#include "app/help.h"
#include "ui/options_dialog.h"

bool ShowOptionsDialog() { return RunOptionsDialog({TheGwellApp().ModuleInstance(), &OpenHelp}); }
