#include "drawing_blocks.h"

#include <dbsymtb.h>

#include <cctype>

namespace gridwell {

namespace {

// Opens the block table for one lookup and closes it on every path.
class OpenBlockTable {
public:
    explicit OpenBlockTable(AcDbDatabase& database)
    {
        if (database.getBlockTable(table_, AcDb::kForRead) != Acad::eOk)
            table_ = nullptr;
    }
    ~OpenBlockTable()
    {
        if (table_)
            table_->close();
    }
    OpenBlockTable(const OpenBlockTable&) = delete;
    OpenBlockTable& operator=(const OpenBlockTable&) = delete;
    AcDbBlockTable* operator->() const { return table_; }
    explicit operator bool() const { return table_ != nullptr; }

private:
    AcDbBlockTable* table_ = nullptr;
};

bool StartsWithFolded(const std::string& text, const char* prefix)
{
    std::size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= text.size() || std::toupper(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

std::uint64_t ReferencesOf(AcDbBlockTableRecord& record)
{
    AcDbObjectIdArray ids;
    return record.getBlockReferenceIds(ids) == Acad::eOk ? static_cast<std::uint64_t>(ids.length()) : 0;
}

} // namespace

bool DrawingHasBlock(AcDbDatabase& database, const std::string& name, std::string& stored)
{
    OpenBlockTable table(database);
    AcDbBlockTableRecord* record = nullptr;
    if (!table || table->getAt(name.c_str(), record, AcDb::kForRead) != Acad::eOk)
        return false;
    const char* text = nullptr;
    if (record->getName(text) == Acad::eOk && text)
        stored = text;
    record->close();
    return true;
}

std::uint64_t ReferenceCount(AcDbDatabase& database, const std::vector<std::string>& names)
{
    OpenBlockTable table(database);
    if (!table)
        return 0;
    std::uint64_t count = 0;
    if (!names.empty()) {
        for (const std::string& name : names) {
            AcDbBlockTableRecord* record = nullptr;
            if (table->getAt(name.c_str(), record, AcDb::kForRead) == Acad::eOk) {
                count += ReferencesOf(*record);
                record->close();
            }
        }
        return count;
    }
    AcDbBlockTableIterator* it = nullptr;
    if (table->newIterator(it) != Acad::eOk)
        return 0;
    for (; !it->done(); it->step()) {
        AcDbBlockTableRecord* record = nullptr;
        if (it->getRecord(record, AcDb::kForRead) != Acad::eOk)
            continue;
        const char* name = nullptr;
        if (record->getName(name) == Acad::eOk && name && !StartsWithFolded(name, "*MODEL_SPACE")
            && !StartsWithFolded(name, "*PAPER_SPACE"))
            count += ReferencesOf(*record);
        record->close();
    }
    delete it;
    return count;
}

} // namespace gridwell
