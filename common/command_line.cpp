#include "common/command_line.h"

#include <adslib.h>

void PrintText(const std::string& text) { acutPrintf("%s", text.c_str()); }
