// Text from a file, made safe to put on a terminal inside a message: a
// damaged file's bytes could otherwise move the cursor, change colours or
// leave the terminal in another character set. Valid UTF-8 stays as it is;
// control characters (C0, DEL, C1) and bytes that are not UTF-8 become \xHH,
// the byte as it stands in the file.
#pragma once
#include <string>
#include <string_view>

std::string TextForTerminal(std::string_view bytes);
