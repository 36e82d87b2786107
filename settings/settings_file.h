// The Settings record in a settings file chosen by the user (initialisation
// file format, sections "Export" and "Import", decimal values), as the
// options dialog loads and saves it. The registry is not touched.
#pragma once
#include "settings/settings.h"

// Reads the file over `settings`: a missing or empty key leaves its field as
// it was; other text counts as its leading decimal number (0 without one).
void LoadSettingsFile(const char* path, Settings& settings);

// Writes all 26 values; false when a write failed (the rest are not tried).
bool SaveSettingsFile(const char* path, const Settings& settings);
