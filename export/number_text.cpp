#include "export/number_text.h"

#include <acdbads.h>

// Texts of up to 512 characters, in the drawing's current units and precision.
std::string LinearText(double value)
{
    char buffer[512] = {};
    acdbRToS(value, -1, -1, buffer);
    return buffer;
}

std::string AngleText(double radians)
{
    char buffer[512] = {};
    acdbAngToS(radians, -1, -1, buffer);
    return buffer;
}
