#include "export/typed_names.h"

#include "common/case_fold.h"

namespace {

// The drawing's own name for a typed piece, or null. The piece is passed on
// under that name, not as typed: the host's lookup folds only ASCII letters,
// so "ärger" typed for block "ÄRGER" would find nothing there. The host's
// own match comes first (it also settles an exact spelling); a name that
// differs only in the case of other letters is found by the user's
// collation, the first such name in table order.
const BlockNameTable::Entry* DrawingNameOf(const BlockNameTable& table, const std::string& piece)
{
    if (const BlockNameTable::Entry* entry = table.find(piece))
        return entry;
    // Only the answer's pieces (at most 66 in a 132-character answer) get
    // here, so one walk of the table per piece stays linear in the table.
    for (const BlockNameTable::Entry& entry : table.entries())
        if (CompareInUserCollation(piece.c_str(), entry.name.c_str()) == 0)
            return &entry;
    return nullptr;
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
        if (!piece.empty())
            if (const BlockNameTable::Entry* entry = DrawingNameOf(table, piece))
                names.push_back(entry->name);
        if (comma == std::string::npos)
            break;
        begin = comma + 1;
    }
    return names;
}
