// What gridwell asks of the drawing before it hands it to the module: which
// block names it holds (so that a misspelt --blocks name is refused by name
// instead of being dropped silently at the module's prompt) and how many
// references an export will go through (the progress line's total).
#pragma once
#include <dbmain.h>

#include <cstdint>
#include <string>
#include <vector>

namespace gridwell {

// The block definition named `name` (any letter case, as the drawing looks
// names up) exists; `stored` gets the name as the drawing spells it.
bool DrawingHasBlock(AcDbDatabase& database, const std::string& name, std::string& stored);
// References to the named blocks; with no names, to every block the module's
// export takes when no name is typed (all but the layouts' own).
std::uint64_t ReferenceCount(AcDbDatabase& database, const std::vector<std::string>& names);

} // namespace gridwell
