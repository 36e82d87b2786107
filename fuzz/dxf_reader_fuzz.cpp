// Drawings are outside data. Whatever a DXF text holds, reading it must not
// crash and must either load or refuse it; a loaded drawing saved untouched
// is the same text, and after every reference is moved and every attribute
// given a new text and layer, what is saved loads again.
#include <dbdatabase.h>
#include "dbents.h"
#include "dbmain.h"
#include "dbsymtb.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void ChangeEverything(AcDbDatabase& db)
{
    AcDbBlockTable* table = nullptr;
    if (db.getBlockTable(table, AcDb::kForRead) != Acad::eOk)
        return;
    AcDbBlockTableIterator* blocks = nullptr;
    table->newIterator(blocks);
    for (; blocks && !blocks->done(); blocks->step()) {
        AcDbBlockTableRecord* block = nullptr;
        if (blocks->getRecord(block, AcDb::kForRead) != Acad::eOk)
            continue;
        AcDbBlockTableRecordIterator* it = nullptr;
        block->newIterator(it);
        for (; it && !it->done(); it->step()) {
            AcDbEntity* entity = nullptr;
            if (it->getEntity(entity, AcDb::kForWrite) != Acad::eOk)
                continue;
            entity->setLayer("0");
            if (auto* ref = AcDbBlockReference::cast(entity)) {
                ref->setPosition(AcGePoint3d(1.5, -2, 3));
                ref->setRotation(1);
                std::unique_ptr<AcDbObjectIterator> atts(ref->attributeIterator());
                for (atts->start(); !atts->done(); atts->step()) {
                    AcDbAttribute* att = nullptr;
                    if (ref->openAttribute(att, atts->objectId(), AcDb::kForWrite) != Acad::eOk)
                        continue;
                    att->setTextString("new ^ text \xC3\xA9");
                    att->setFieldLength(12);
                    att->close();
                }
            }
            entity->close();
        }
        delete it;
        block->close();
    }
    delete blocks;
    table->close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    AcDbDatabase db(false);
    if (ReadDxfText(db, text, "fuzz.dxf") != Acad::eOk) {
        if (DxfErrorMessage(db).empty())
            std::abort();
        return 0;
    }
    if (DxfOutText(db) != text)
        std::abort();
    ChangeEverything(db);
    if (OpenObjectCount(db) != 0)
        std::abort();
    AcDbDatabase again(false);
    if (ReadDxfText(again, DxfOutText(db), "saved.dxf") != Acad::eOk)
        std::abort();
    return 0;
}
