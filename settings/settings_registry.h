// The Settings record in the current user's registry, under
// SOFTWARE\Norvale\Gridwell\Settings\Export and ...\Import.
#pragma once
#include "settings/settings.h"

// Defaults, then whatever the registry holds. Never fails: a missing key or
// value leaves the defaults standing.
void LoadSettings(Settings& settings);

// Writes all 26 values; true only when every value was written and both keys
// opened and closed cleanly. The first failing write ends it, leaving the
// values written before it in place.
bool SaveSettings(const Settings& settings);
