#include "export/typed_names.h"

#include <mbstring.h>

namespace {

bool TableHolds(const BlockNameTable& table, const std::string& piece)
{
    // Only the answer's pieces (at most 66 in a 132-character answer) are
    // looked up, so one walk of the table per piece stays linear in the table.
    const auto* wanted = reinterpret_cast<const unsigned char*>(piece.c_str());
    for (const BlockNameTable::Entry& entry : table.entries())
        if (_mbsicoll(wanted, reinterpret_cast<const unsigned char*>(entry.name.c_str())) == 0)
            return true;
    return false;
}

} // namespace

std::vector<std::string> NamesFromTypedText(const std::string& typed, const BlockNameTable& table)
{
    std::vector<std::string> names;
    if (typed.empty()) {
        for (const BlockNameTable::Entry& entry : table.entries())
            if (!IsLayoutBlockName(entry.name.c_str()))
                names.push_back(entry.name);
        return names;
    }
    std::size_t begin = 0;
    for (;;) {
        const std::size_t comma = typed.find(',', begin);
        const std::string piece = typed.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
        if (!piece.empty() && TableHolds(table, piece))
            names.push_back(piece);
        if (comma == std::string::npos)
            break;
        begin = comma + 1;
    }
    return names;
}
