// Stand-in for the host's drawing database (AcDbDatabase of dbmain.h),
// loaded from and saved to DXF.
//
// Simplifications: a database is filled only by reading a DXF file or text
// (an empty one has the layer "0", model space and one paper-space layout);
// objects are never added. Saving writes every record back as it was read,
// except the records the module changed, which are written from their
// groups with only the changed groups replaced or added. Erased objects are
// left out of the saved file.
#pragma once
#include "acadstrc.h"
#include "acdb.h"
#include "adesk.h"
#include "dbid.h"

#include <memory>
#include <string>
#include <string_view>

class AcDbBlockTable;
class AcDbLayerTable;

// Kinds of call whose Nth occurrence a test can make fail.
enum class AcDbFault {
    Open,        // every open: acdbOpen*, openAttribute, getEntity, getAt, getRecord, get*Table
    Setter,      // every setter of an entity: setPosition ... setTextString, setLayer
    GetObjectId, // AcDbDatabase::getAcDbObjectId
    NewIterator, // newIterator of tables and block table records
};

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
    AcDbObjectId blockTableId() const;
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
    bool tilemode() const;
    Acad::ErrorStatus setLunits(Adesk::Int16 value);
    Acad::ErrorStatus setLuprec(Adesk::Int16 value);
    Acad::ErrorStatus setAunits(Adesk::Int16 value);
    Acad::ErrorStatus setAuprec(Adesk::Int16 value);
    Acad::ErrorStatus setUnitmode(Adesk::Int16 value);
    Acad::ErrorStatus setDimzin(Adesk::UInt8 value);
    Acad::ErrorStatus setTilemode(bool value);

    // --- Not in the host's API: for the program that owns the database and for tests.
    // Reads DXF text; `sourceName` names it in error messages.
    Acad::ErrorStatus readDxfText(std::string text, const std::string& sourceName = "<text>");
    // The drawing as DXF text (what dxfOut writes).
    std::string dxfOutText() const;
    // One line: "<file>: line <n>: <what>" for the last failed read.
    const std::string& dxfErrorMessage() const;
    // "AC1009", "AC1015", ...
    std::string acadVersion() const;
    // Objects currently open (each open counts until its close).
    int openObjectCount() const;
    // Makes the `nth` call of `kind` from now on (1 = the next one) fail with
    // `status`; the failing call changes nothing. One plan per kind.
    void injectFault(AcDbFault kind, int nth, Acad::ErrorStatus status);
    void clearFaults();

    struct Imp;
    Imp& imp() const { return *m_imp; }

private:
    std::unique_ptr<Imp> m_imp;
};
