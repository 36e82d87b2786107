// The worksheet each block gets of its own, under the block's name when the
// program takes it.
#pragma once
#include <string>

// Whether the program takes `name` as a worksheet name at all: 1 to 31
// characters, none of : \ / ? * [ ], no apostrophe at either end, and not
// "History" in any case (the name the program keeps for itself). Whether a
// sheet of that name exists already is a separate question.
bool SheetNameAllowed(const std::string& name);

// Adds a worksheet to the active workbook, names it `name` unless the
// program would refuse that name or a worksheet of that name exists already
// (the new sheet then keeps the program's default name), and activates it.
// Answers the name the sheet ended up with (empty when no program runs).
std::string OpenBlockWorksheet(const std::string& name);
