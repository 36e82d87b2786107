// Stand-in for dbmain.h: database objects and entities, opening and closing
// them by id, and the object iterator. The database itself is in
// dbdatabase.h, included at the end as the host's header does.
//
// Objects live as long as their database. Opening hands out the one object
// and records the open state: up to 256 readers or one writer; a second
// writer gets eWasOpenForWrite, a writer on a read-open object
// eWasOpenForRead. Every open is counted until its close
// (AcDbDatabase::openObjectCount), so tests can check that nothing stays
// open. Setters on an object that is not open for write fail with
// eNotOpenForWrite instead of the host's assertion.
#pragma once
#include "acadstrc.h"
#include "acdb.h"
#include "adesk.h"
#include "dbhandle.h"
#include "dbid.h"
#include "rxclass.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>


class AcDbDatabase;
class AcDbEntity;
struct AcDbInternals;
struct DxfGroupList;

class AcDbObject : public AcRxObject {
public:
    static AcRxClass* desc();
    static AcDbObject* cast(const AcRxObject* object)
    {
        return dynamic_cast<AcDbObject*>(const_cast<AcRxObject*>(object));
    }
    virtual AcRxClass* isA() const { return desc(); }
    ~AcDbObject() override;
    AcDbObject(const AcDbObject&) = delete;
    AcDbObject& operator=(const AcDbObject&) = delete;

    bool isKindOf(const AcRxClass* cls) const { return isA()->isDerivedFrom(cls); }
    AcDbObjectId objectId() const;
    AcDbObjectId ownerId() const { return m_owner; }
    void getAcDbHandle(AcDbHandle& handle) const;

    // Ends one open of this object (the writer's, else one reader's).
    Acad::ErrorStatus close();
    bool isReadEnabled() const { return m_readers > 0 || m_writer; }
    bool isWriteEnabled() const { return m_writer; }
    bool isNotifyEnabled() const { return false; }
    bool isErased() const { return m_erased; }
    // Erasing an object open for write; an erased object is left out when the
    // drawing is saved. A block reference takes its attributes along.
    Acad::ErrorStatus erase(bool erasing = true);

    // Not in the host's API: the DXF record name ("INSERT", "LAYER", ...).
    std::string_view dxfName() const { return m_dxfName; }

protected:
    AcDbObject() = default;
    Acad::ErrorStatus assertWriteEnabled() const;

private:
    friend struct AcDbInternals;
    AcDbStub* m_stub = nullptr;
    AcDbObjectId m_owner;
    std::string_view m_dxfName;
    std::size_t m_spanBegin = 0;            // where the record begins in the loaded text
    std::unique_ptr<DxfGroupList> m_groups; // the record's groups once changed
    // The span's length, the open state and the flags share one word: a
    // drawing has millions of objects (a file is under 4 GiB; at most 256
    // readers).
    std::uint32_t m_spanLength = 0;
    std::uint16_t m_readers = 0;
    bool m_writer : 1 = false;
    bool m_erased : 1 = false;
    bool m_dirty : 1 = false;
};

class AcDbEntity : public AcDbObject {
public:
    GW_DECLARE_MEMBERS(AcDbEntity)
    // The layer name; a copy the caller frees (acutDelString).
    char* layer() const;
    // The layer must exist in the layer table (eKeyNotFound otherwise). With
    // `doSubents`, a block reference's attributes move to the layer as well.
    Acad::ErrorStatus setLayer(const char* newLayer, Adesk::Boolean doSubents = true);
    // The block table record that owns the entity.
    AcDbObjectId blockId() const { return ownerId(); }

protected:
    AcDbEntity() = default;

private:
    friend struct AcDbInternals;
    // In the file's spelling, host code page; the one copy the database
    // keeps of each name (null until the entity is read: no layer).
    const std::string* m_layer = nullptr;
};

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);
// Fails with eNotAnEntity for an object that is not an entity.
Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);
// Opens `id` requiring class T: eNotThatKindOfClass (and nothing stays open)
// when the object is of another class.
Acad::ErrorStatus acdbOpenObject(AcDbObject*& object, AcDbObjectId id, const AcRxClass* cls, AcDb::OpenMode mode,
                                 bool openErased);
template <class T>
Acad::ErrorStatus acdbOpenObject(T*& object, AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false)
{
    AcDbObject* opened = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(opened, id, T::desc(), mode, openErased);
    object = es == Acad::eOk ? static_cast<T*>(opened) : nullptr;
    return es;
}

// Walks a list of ids (a block reference's attributes).
class AcDbObjectIterator {
public:
    explicit AcDbObjectIterator(std::vector<AcDbObjectId> ids)
        : m_ids(std::move(ids))
    {
    }
    void start(bool atEnd = false);
    bool done() const { return m_index < 0 || m_index >= static_cast<long>(m_ids.size()); }
    void step(bool backwards = false, bool skipErasedObjects = true);
    AcDbObjectId objectId() const { return done() ? AcDbObjectId() : m_ids[static_cast<std::size_t>(m_index)]; }

private:
    std::vector<AcDbObjectId> m_ids;
    long m_index = 0;
};

// The drawing database, loaded from and saved to DXF.
//
// Simplifications: a database is filled only by reading a DXF file or text
// (an empty one has the layer "0", model space and one paper-space layout);
// objects are never added. Saving writes every record back as it was read,
// except the records the module changed, which are written from their
// groups with only the changed groups replaced or added. Erased objects are
// left out of the saved file.
class AcDbBlockTable;
class AcDbLayerTable;

class AcDbDatabase {
public:
    // `buildDefaultDrawing` makes the empty drawing; otherwise the database
    // is empty until a DXF file is read into it.
    explicit AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
    ~AcDbDatabase();
    AcDbDatabase(const AcDbDatabase&) = delete;
    AcDbDatabase& operator=(const AcDbDatabase&) = delete;

    // Replaces the contents with a DXF file; on failure nothing changes
    // and dxfErrorMessage() says what and on which line.
    Acad::ErrorStatus readDxfFile(const char* fileName);
    // Writes the drawing as DXF through a temporary file beside the target
    // and a rename, so a failed save leaves the old file whole.
    Acad::ErrorStatus dxfOut(const char* fileName, int precision = 16, bool saveThumbnailImage = false);

    Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& retId, bool createIfNotFound, const AcDbHandle& objHandle,
                                      Adesk::UInt32 xRefId = 0);
    Acad::ErrorStatus getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode);
    Acad::ErrorStatus getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode);
    AcDbObjectId layerTableId() const;
    // The block table record of model space or of the active paper space.
    AcDbObjectId currentSpaceId() const;

    // Header variables.
    Adesk::Int16 lunits() const;
    Adesk::Int16 luprec() const;
    Adesk::Int16 aunits() const;
    Adesk::Int16 auprec() const;
    Adesk::Int16 unitmode() const;
    Adesk::UInt8 dimzin() const;
    Acad::ErrorStatus setLuprec(Adesk::Int16 value);
    Acad::ErrorStatus setUnitmode(Adesk::Int16 value);
    Acad::ErrorStatus setDimzin(Adesk::UInt8 value);
    Acad::ErrorStatus setTilemode(bool value);

    struct Imp;
    Imp& imp() const { return *m_imp; }

private:
    // Replaces the contents with DXF text; the constructor's empty drawing
    // and readDxfFile come through here.
    Acad::ErrorStatus readDxfText(std::string text, const std::string& sourceName);

    std::unique_ptr<Imp> m_imp;
};
