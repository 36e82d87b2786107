// A worksheet cell's value as a number for the drawing.
#pragma once
#include <oaidl.h>

#include <optional>
#include <string_view>

// The number of a text that is wholly one decimal number: an optional sign,
// digits with an optional point, an optional exponent, blanks around it
// allowed. Hexadecimal, "inf", "nan", a decimal comma, trailing words and
// numbers beyond the range of a double give none.
std::optional<double> DecimalNumber(std::string_view text);

// Sets `number` from a finite double, single, 16- or 32-bit integer, or from
// a text that is wholly a decimal number, and answers true. Any other value
// (empty, Boolean, date, currency, error, other text) leaves `number` as it
// was and answers false.
bool NumberFromCellValue(const VARIANT& value, double& number);
