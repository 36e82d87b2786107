// Stand-in for dbsymtb.h: the block table and the layer table with their
// records and iterators. Table lookups by name ignore letter case, as the
// host's do.
#pragma once
#include "dbidar.h"
#include "dbmain.h"
#include "gepnt3d.h"

#include <string>
#include <vector>

class AcDbSymbolTableRecord : public AcDbObject {
public:
    GW_DECLARE_MEMBERS(AcDbSymbolTableRecord)
    // A copy the caller frees (acutDelString).
    Acad::ErrorStatus getName(char*& name) const;
    // The record's own text, valid while the record is open.
    Acad::ErrorStatus getName(const char*& name) const;

protected:
    AcDbSymbolTableRecord() = default;

private:
    friend struct AcDbInternals;
    std::string m_name;
};

class AcDbBlockTableRecordIterator;

class AcDbBlockTableRecord : public AcDbSymbolTableRecord {
public:
    GW_DECLARE_MEMBERS(AcDbBlockTableRecord)
    Acad::ErrorStatus newIterator(AcDbBlockTableRecordIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;
    // Whether the block holds attribute definitions that are not erased.
    bool hasAttributeDefinitions() const;
    bool isAnonymous() const;
    bool isLayout() const;
    AcGePoint3d origin() const { return m_origin; }
    // The references to this block in model space, in paper-space layouts
    // and inside other blocks, in the drawing's order, erased ones included.
    // Nested references (through other blocks) are not followed.
    Acad::ErrorStatus getBlockReferenceIds(AcDbObjectIdArray& ids, bool directOnly = true,
                                           bool forceValidity = false) const;

private:
    friend struct AcDbInternals;
    friend class AcDbBlockTableRecordIterator;
    std::vector<AcDbObjectId> m_entities;
    std::vector<AcDbObjectId> m_references;
    AcGePoint3d m_origin;
    int m_blockFlags = 0;
    bool m_layout = false;
};

class AcDbBlockTableRecordIterator {
public:
    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const;
    void step(bool forward = true, bool skipDeleted = true);
    Acad::ErrorStatus getEntityId(AcDbObjectId& id) const;
    Acad::ErrorStatus getEntity(AcDbEntity*& entity, AcDb::OpenMode mode, bool openErasedEntity = false) const;

private:
    friend class AcDbBlockTableRecord;
    explicit AcDbBlockTableRecordIterator(const AcDbBlockTableRecord* record)
        : m_record(record)
    {
    }
    void skip(bool forward, bool skipDeleted);
    const AcDbBlockTableRecord* m_record;
    long m_index = 0;
};

class AcDbSymbolTableIterator;

class AcDbSymbolTable : public AcDbObject {
public:
    GW_DECLARE_MEMBERS(AcDbSymbolTable)
    bool has(const char* name) const;
    bool has(AcDbObjectId id) const;
    Acad::ErrorStatus getAt(const char* name, AcDbObjectId& id, bool getErasedRecord = false) const;

protected:
    AcDbSymbolTable() = default;
    Acad::ErrorStatus getRecordAt(const char* name, AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                                  bool openErasedRecord) const;
    Acad::ErrorStatus makeIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning, bool skipDeleted) const;

private:
    friend struct AcDbInternals;
    friend class AcDbSymbolTableIterator;
    std::vector<AcDbObjectId> m_records;
};

class AcDbSymbolTableIterator {
public:
    virtual ~AcDbSymbolTableIterator() = default;
    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const;
    void step(bool forward = true, bool skipDeleted = true);
    Acad::ErrorStatus getRecordId(AcDbObjectId& id) const;

protected:
    friend class AcDbSymbolTable;
    explicit AcDbSymbolTableIterator(const AcDbSymbolTable* table)
        : m_table(table)
    {
    }
    Acad::ErrorStatus getRecordOf(AcDbSymbolTableRecord*& record, const AcRxClass* cls, AcDb::OpenMode mode,
                                  bool openErasedRecord) const;
    void skip(bool forward, bool skipDeleted);
    const AcDbSymbolTable* m_table;
    long m_index = 0;
};

class AcDbBlockTableIterator : public AcDbSymbolTableIterator {
public:
    Acad::ErrorStatus getRecord(AcDbBlockTableRecord*& record, AcDb::OpenMode mode,
                                bool openErasedRecord = false) const;

private:
    friend class AcDbBlockTable;
    using AcDbSymbolTableIterator::AcDbSymbolTableIterator;
};

class AcDbBlockTable : public AcDbSymbolTable {
public:
    GW_DECLARE_MEMBERS(AcDbBlockTable)
    using AcDbSymbolTable::getAt;
    Acad::ErrorStatus getAt(const char* name, AcDbBlockTableRecord*& record, AcDb::OpenMode mode,
                            bool openErasedRecord = false) const;
    Acad::ErrorStatus newIterator(AcDbBlockTableIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;
};

class AcDbLayerTableRecord : public AcDbSymbolTableRecord {
public:
    GW_DECLARE_MEMBERS(AcDbLayerTableRecord)
};

class AcDbLayerTableIterator : public AcDbSymbolTableIterator {
public:
    Acad::ErrorStatus getRecord(AcDbLayerTableRecord*& record, AcDb::OpenMode mode,
                                bool openErasedRecord = false) const;

private:
    friend class AcDbLayerTable;
    using AcDbSymbolTableIterator::AcDbSymbolTableIterator;
};

class AcDbLayerTable : public AcDbSymbolTable {
public:
    GW_DECLARE_MEMBERS(AcDbLayerTable)
    using AcDbSymbolTable::getAt;
    Acad::ErrorStatus newIterator(AcDbLayerTableIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;
};
