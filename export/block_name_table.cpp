#include "export/block_name_table.h"

#include "app/resource_strings.h"
#include "export/drawing_objects.h"
#include "res/resource.h"

#include <acdocman.h>
#include <dbsymtb.h>
#include <windows.h>

#include <cstring>
#include <memory>

namespace {

// Block names compare as the host compares them: ASCII letters without case,
// other bytes as they are.
std::string FoldKey(const std::string& name)
{
    std::string key = name;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return key;
}

bool HasPrefixIgnoringCase(const char* name, const char* prefix)
{
    for (; *prefix; ++prefix, ++name) {
        char c = *name;
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
        if (c != *prefix) // the prefixes are upper case; a short name stops at its end
            return false;
    }
    return true;
}

} // namespace

void BlockNameTable::set(const std::string& name, bool hasAttributes)
{
    const auto [it, added] = m_index.emplace(FoldKey(name), m_entries.size());
    if (added)
        m_entries.push_back({name, hasAttributes});
    else
        m_entries[it->second].hasAttributes = hasAttributes;
}

const BlockNameTable::Entry* BlockNameTable::find(const std::string& name) const
{
    const auto it = m_index.find(FoldKey(name));
    return it == m_index.end() ? nullptr : &m_entries[it->second];
}

void BlockNameTable::clear()
{
    m_entries.clear();
    m_index.clear();
}

bool IsLayoutBlockName(const char* name)
{
    return HasPrefixIgnoringCase(name, "*MODEL_SPACE") || HasPrefixIgnoringCase(name, "*PAPER_SPACE");
}

bool BuildBlockNameTable(BlockNameTable& table)
{
    table.clear();
    AcDbDatabase* database = WorkingDatabase();
    if (!database)
        return false;
    AcDbBlockTable* rawTable = nullptr;
    if (database->getBlockTable(rawTable, AcDb::kForRead) != Acad::eOk)
        return false;
    OpenObject<AcDbBlockTable> blockTable(rawTable);
    AcDbBlockTableIterator* rawIterator = nullptr;
    if (blockTable->newIterator(rawIterator, true, true) != Acad::eOk)
        return false;
    std::unique_ptr<AcDbBlockTableIterator> iterator(rawIterator);

    for (iterator->start(true, true); !iterator->done(); iterator->step(true, true)) {
        AcDbBlockTableRecord* rawRecord = nullptr;
        if (iterator->getRecord(rawRecord, AcDb::kForRead, false) != Acad::eOk)
            continue;
        OpenObject<AcDbBlockTableRecord> record(rawRecord);
        if (record->isAnonymous())
            continue;
        const char* name = nullptr;
        if (record->getName(name) != Acad::eOk || !name)
            continue;
        if (IsLayoutBlockName(name))
            continue;
        table.set(name, record->hasAttributeDefinitions());
    }

    if (table.empty()) {
        const std::string caption = ResourceString(IDS_NO_BLOCKS_CAPTION);
        const std::string text = ResourceString(IDS_ERROR_TEXT);
        MessageBoxA(adsw_acadMainWnd(), text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
    }
    return true;
}
