#include "common/number_text.h"

#include <acdbads.h>

namespace {
// The host writes a number text of up to this many characters with its end.
constexpr std::size_t kNumberTextBuffer = 512;
} // namespace

std::string LinearText(double value)
{
    char buffer[kNumberTextBuffer] = {};
    acdbRToS(value, -1, -1, buffer);
    return buffer;
}

std::string AngleText(double radians)
{
    char buffer[kNumberTextBuffer] = {};
    acdbAngToS(radians, -1, -1, buffer);
    return buffer;
}

double JtskCoordinate(double value) { return value < 0.0 ? value * -1.0 : value; }
