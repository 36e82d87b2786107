// Texts for the host's command line.
#pragma once
#include <string>

// Prints `text` as it is: it is never taken as a format, so a % in a block
// name or a translated text prints as a %.
void PrintText(const std::string& text);
