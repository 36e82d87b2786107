// Numbers as export writes them: in the drawing's current units and
// precision. Import compares cells with these same texts to tell an edited
// value from one the user left alone, so there is one formatter for both.
#pragma once
#include <string>

// A coordinate or scale factor in the drawing's linear units and precision.
std::string LinearText(double value);
// An angle, radians as stored, in the drawing's angular units and precision.
std::string AngleText(double radians);

// JTSK coordinates are all positive in the survey's own axes: a negative
// coordinate is written without its sign. Not-a-number stays as it is.
double JtskCoordinate(double value);
