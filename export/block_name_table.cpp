#include "export/block_name_table.h"

#include "common/case_fold.h"
#include "common/resource_strings.h"
#include "export/drawing_objects.h"
#include "res/resource.h"

#include <acdocman.h>
#include <dbobjptr.h>
#include <dbsymtb.h>
#include <windows.h>

#include <cstring>
#include <memory>

void BlockNameTable::set(const std::string& name, bool hasAttributes)
{
    const auto [it, added] = m_index.emplace(FoldedAscii(name), m_entries.size());
    if (added)
        m_entries.push_back({name, hasAttributes});
    else
        m_entries[it->second].hasAttributes = hasAttributes;
}

const BlockNameTable::Entry* BlockNameTable::find(const std::string& name) const
{
    const auto it = m_index.find(FoldedAscii(name));
    return it == m_index.end() ? nullptr : &m_entries[it->second];
}

void BlockNameTable::clear()
{
    m_entries.clear();
    m_index.clear();
}

bool IsLayoutBlockName(const char* name)
{
    return StartsWithFolded(name, "*MODEL_SPACE") || StartsWithFolded(name, "*PAPER_SPACE");
}

bool BuildBlockNameTable(BlockNameTable& table)
{
    table.clear();
    AcDbObjectPointer<AcDbBlockTable> blockTable;
    if (!OpenBlockTable(blockTable))
        return false;
    AcDbBlockTableIterator* rawIterator = nullptr;
    if (blockTable->newIterator(rawIterator, true, true) != Acad::eOk)
        return false;
    std::unique_ptr<AcDbBlockTableIterator> iterator(rawIterator);

    for (iterator->start(true, true); !iterator->done(); iterator->step(true, true)) {
        AcDbBlockTableRecord* rawRecord = nullptr;
        if (iterator->getRecord(rawRecord, AcDb::kForRead, false) != Acad::eOk)
            continue;
        AcDbBlockTableRecordPointer record;
        record.acquire(rawRecord);
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
