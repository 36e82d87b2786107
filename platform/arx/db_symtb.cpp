// The block and layer tables, their records and iterators.
#include "dbimpl.h"

GW_DEFINE_MEMBERS(AcDbSymbolTableRecord, AcDbObject)
GW_DEFINE_MEMBERS(AcDbBlockTableRecord, AcDbSymbolTableRecord)
GW_DEFINE_MEMBERS(AcDbLayerTableRecord, AcDbSymbolTableRecord)
GW_DEFINE_MEMBERS(AcDbSymbolTable, AcDbObject)
GW_DEFINE_MEMBERS(AcDbBlockTable, AcDbSymbolTable)
GW_DEFINE_MEMBERS(AcDbLayerTable, AcDbSymbolTable)

namespace {

Acad::ErrorStatus NewIteratorFault(const AcDbObject& owner)
{
    Acad::ErrorStatus es = Acad::eOk;
    if (AcDbDatabase::Imp* imp = AcDbInternals::imp(owner))
        imp->fault(AcDbFault::NewIterator, es);
    return es;
}

} // namespace

Acad::ErrorStatus AcDbSymbolTableRecord::getName(char*& name) const
{
    name = DxfNewString(m_name);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::getName(const char*& name) const
{
    name = m_name.c_str();
    return Acad::eOk;
}

// --- block table records

Acad::ErrorStatus AcDbBlockTableRecord::newIterator(AcDbBlockTableRecordIterator*& iterator, bool atBeginning,
                                                    bool skipDeleted) const
{
    iterator = nullptr;
    if (Acad::ErrorStatus es = NewIteratorFault(*this); es != Acad::eOk)
        return es;
    iterator = new AcDbBlockTableRecordIterator(this);
    iterator->start(atBeginning, skipDeleted);
    return Acad::eOk;
}

bool AcDbBlockTableRecord::hasAttributeDefinitions() const
{
    for (AcDbObjectId id : m_entities)
        if (!id.isErased() && AcDbAttributeDefinition::cast(id.stub()->object))
            return true;
    return false;
}

bool AcDbBlockTableRecord::isAnonymous() const
{
    const std::string& name = AcDbInternals::name(const_cast<AcDbBlockTableRecord&>(*this));
    return (m_blockFlags & 1) != 0 || (!m_layout && !name.empty() && name[0] == '*');
}

bool AcDbBlockTableRecord::isLayout() const { return m_layout; }

Acad::ErrorStatus AcDbBlockTableRecord::getBlockReferenceIds(AcDbObjectIdArray& ids, bool, bool) const
{
    for (AcDbObjectId id : m_references)
        ids.append(id);
    return Acad::eOk;
}

void AcDbBlockTableRecordIterator::skip(bool forward, bool skipDeleted)
{
    while (skipDeleted && !done() && m_record->m_entities[static_cast<std::size_t>(m_index)].isErased())
        m_index += forward ? 1 : -1;
}

void AcDbBlockTableRecordIterator::start(bool atBeginning, bool skipDeleted)
{
    m_index = atBeginning ? 0 : static_cast<long>(m_record->m_entities.size()) - 1;
    skip(atBeginning, skipDeleted);
}

bool AcDbBlockTableRecordIterator::done() const
{
    return m_index < 0 || m_index >= static_cast<long>(m_record->m_entities.size());
}

void AcDbBlockTableRecordIterator::step(bool forward, bool skipDeleted)
{
    if (done())
        return;
    m_index += forward ? 1 : -1;
    skip(forward, skipDeleted);
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntityId(AcDbObjectId& id) const
{
    if (done())
        return Acad::eIteratorDone;
    id = m_record->m_entities[static_cast<std::size_t>(m_index)];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntity(AcDbEntity*& entity, AcDb::OpenMode mode,
                                                          bool openErasedEntity) const
{
    entity = nullptr;
    AcDbObjectId id;
    if (Acad::ErrorStatus es = getEntityId(id); es != Acad::eOk)
        return es;
    return acdbOpenAcDbEntity(entity, id, mode, openErasedEntity);
}

// --- tables

bool AcDbSymbolTable::has(const char* name) const
{
    AcDbObjectId id;
    return name && getAt(name, id) == Acad::eOk;
}

bool AcDbSymbolTable::has(AcDbObjectId id) const
{
    for (AcDbObjectId r : m_records)
        if (r == id && !r.isErased())
            return true;
    return false;
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const char* name, AcDbObjectId& id, bool getErasedRecord) const
{
    if (!name)
        return Acad::eInvalidInput;
    // The block and layer tables keep their names hashed.
    if (AcDbDatabase::Imp* imp = AcDbInternals::imp(*this)) {
        const auto* byKey = objectId() == imp->blockTable ? &imp->blockByKey
            : objectId() == imp->layerTable               ? &imp->layerByKey
                                                          : nullptr;
        if (byKey) {
            auto it = byKey->find(DxfNameKey(name));
            if (it != byKey->end() && (getErasedRecord || !it->second.isErased())) {
                id = it->second;
                return Acad::eOk;
            }
        }
    }
    for (AcDbObjectId r : m_records) {
        auto* record = static_cast<AcDbSymbolTableRecord*>(r.stub()->object);
        if ((getErasedRecord || !record->isErased()) && DxfNamesEqual(AcDbInternals::name(*record), name)) {
            id = r;
            return Acad::eOk;
        }
    }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcDbSymbolTable::getRecordAt(const char* name, AcDbSymbolTableRecord*& record,
                                               AcDb::OpenMode mode, bool openErasedRecord) const
{
    record = nullptr;
    AcDbObjectId id;
    if (Acad::ErrorStatus es = getAt(name, id, openErasedRecord); es != Acad::eOk)
        return es;
    AcDbObject* object = nullptr;
    Acad::ErrorStatus es = acdbOpenAcDbObject(object, id, mode, openErasedRecord);
    record = static_cast<AcDbSymbolTableRecord*>(object);
    return es;
}

Acad::ErrorStatus AcDbSymbolTable::makeIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning,
                                                bool skipDeleted) const
{
    iterator->start(atBeginning, skipDeleted);
    return Acad::eOk;
}

void AcDbSymbolTableIterator::skip(bool forward, bool skipDeleted)
{
    while (skipDeleted && !done() && m_table->m_records[static_cast<std::size_t>(m_index)].isErased())
        m_index += forward ? 1 : -1;
}

void AcDbSymbolTableIterator::start(bool atBeginning, bool skipDeleted)
{
    m_index = atBeginning ? 0 : static_cast<long>(m_table->m_records.size()) - 1;
    skip(atBeginning, skipDeleted);
}

bool AcDbSymbolTableIterator::done() const
{
    return m_index < 0 || m_index >= static_cast<long>(m_table->m_records.size());
}

void AcDbSymbolTableIterator::step(bool forward, bool skipDeleted)
{
    if (done())
        return;
    m_index += forward ? 1 : -1;
    skip(forward, skipDeleted);
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecordId(AcDbObjectId& id) const
{
    if (done())
        return Acad::eIteratorDone;
    id = m_table->m_records[static_cast<std::size_t>(m_index)];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecordOf(AcDbSymbolTableRecord*& record, const AcRxClass* cls,
                                                       AcDb::OpenMode mode, bool openErasedRecord) const
{
    record = nullptr;
    AcDbObjectId id;
    if (Acad::ErrorStatus es = getRecordId(id); es != Acad::eOk)
        return es;
    AcDbObject* object = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(object, id, cls, mode, openErasedRecord);
    record = static_cast<AcDbSymbolTableRecord*>(object);
    return es;
}

Acad::ErrorStatus AcDbBlockTableIterator::getRecord(AcDbBlockTableRecord*& record, AcDb::OpenMode mode,
                                                    bool openErasedRecord) const
{
    AcDbSymbolTableRecord* r = nullptr;
    Acad::ErrorStatus es = getRecordOf(r, AcDbBlockTableRecord::desc(), mode, openErasedRecord);
    record = static_cast<AcDbBlockTableRecord*>(r);
    return es;
}

Acad::ErrorStatus AcDbBlockTable::getAt(const char* name, AcDbBlockTableRecord*& record, AcDb::OpenMode mode,
                                        bool openErasedRecord) const
{
    AcDbSymbolTableRecord* r = nullptr;
    Acad::ErrorStatus es = getRecordAt(name, r, mode, openErasedRecord);
    record = static_cast<AcDbBlockTableRecord*>(r);
    return es;
}

Acad::ErrorStatus AcDbBlockTable::newIterator(AcDbBlockTableIterator*& iterator, bool atBeginning,
                                              bool skipDeleted) const
{
    iterator = nullptr;
    if (Acad::ErrorStatus es = NewIteratorFault(*this); es != Acad::eOk)
        return es;
    iterator = new AcDbBlockTableIterator(this);
    AcDbSymbolTableIterator* base = iterator;
    return makeIterator(base, atBeginning, skipDeleted);
}

Acad::ErrorStatus AcDbLayerTableIterator::getRecord(AcDbLayerTableRecord*& record, AcDb::OpenMode mode,
                                                    bool openErasedRecord) const
{
    AcDbSymbolTableRecord* r = nullptr;
    Acad::ErrorStatus es = getRecordOf(r, AcDbLayerTableRecord::desc(), mode, openErasedRecord);
    record = static_cast<AcDbLayerTableRecord*>(r);
    return es;
}

Acad::ErrorStatus AcDbLayerTable::newIterator(AcDbLayerTableIterator*& iterator, bool atBeginning,
                                              bool skipDeleted) const
{
    iterator = nullptr;
    if (Acad::ErrorStatus es = NewIteratorFault(*this); es != Acad::eOk)
        return es;
    iterator = new AcDbLayerTableIterator(this);
    AcDbSymbolTableIterator* base = iterator;
    return makeIterator(base, atBeginning, skipDeleted);
}
