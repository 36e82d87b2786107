// Control of the drawing database stand-in (AcDbDatabase of dbmain.h), for
// the program that owns a database and for tests: DXF text in and out, the
// last read error, open-object counts and fault injection. The host's own
// API has none of these.
#pragma once
#include <dbmain.h>

#include <cstdint>
#include <string>

// Kinds of call whose Nth occurrence a test can make fail.
enum class AcDbFault {
    Open,        // every open: acdbOpen*, openAttribute, getEntity, getAt, getRecord, get*Table
    Setter,      // every setter of an entity: setPosition ... setTextString, setLayer
    GetObjectId, // AcDbDatabase::getAcDbObjectId
    NewIterator, // newIterator of tables and block table records
};

// Reads DXF text into the database; `sourceName` names it in error messages.
Acad::ErrorStatus ReadDxfText(AcDbDatabase& database, std::string text, const std::string& sourceName = "<text>");
// The drawing as DXF text (what dxfOut writes).
std::string DxfOutText(const AcDbDatabase& database);
// One line: "<file>: line <n>: <what>" for the last failed read or save.
const std::string& DxfErrorMessage(const AcDbDatabase& database);
// "AC1009", "AC1015", ...
std::string DxfAcadVersion(const AcDbDatabase& database);
// Objects currently open (each open counts until its close).
int OpenObjectCount(const AcDbDatabase& database);
// Changes made to the drawing since it was read, counted one by one: a saver
// that remembers the count of its last save knows whether there is more to save.
std::uint64_t DatabaseChangeCount(const AcDbDatabase& database);
// Makes the `nth` call of `kind` from now on (1 = the next one) fail with
// `status`; the failing call changes nothing. One plan per kind.
void InjectDatabaseFault(AcDbDatabase& database, AcDbFault kind, int nth, Acad::ErrorStatus status);
