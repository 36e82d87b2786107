// A worksheet cell's value as a number for the drawing.
#pragma once
#include <oaidl.h>

// Sets `number` from a double, single, 16- or 32-bit integer, or text (read
// as the longest leading number, with a period as decimal point; no number
// gives 0). Any other kind of value (empty, Boolean, date, currency, error)
// leaves `number` as it was.
void NumberFromCellValue(const VARIANT& value, double& number);
