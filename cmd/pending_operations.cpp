#include "cmd/pending_operations.h"

bool ShowOptionsDialog() { return false; }
