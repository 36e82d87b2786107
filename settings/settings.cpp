#include "settings/settings.h"

void SetDefaults(Settings& settings) { settings = Settings{}; }
