// Changes to one block reference of the working drawing, named by its
// handle text: attribute texts by tag, insertion point, scale factors,
// rotation and layer, and the refresh of its attributes from their
// definitions after the block's transform changed. Each operation opens the
// objects it needs and closes them before it returns; failures are skipped
// silently, as the host's status codes tell them.
#pragma once
#include <acdb.h>
#include <dbents.h>
#include <gepnt3d.h>
#include <gescl3d.h>

#include <string>
#include <vector>

// Opens the entity of `handleText` in `mode` (erased ones are not opened);
// true when `entity` was opened. The caller closes it.
bool OpenEntityByHandle(const std::string& handleText, AcDb::OpenMode mode, AcDbEntity*& entity);

// Sets the text of every attribute whose tag equals tags[i] (letter case
// ignored) to values[i]; when a tag occurs twice, the later value stays,
// unless the reference has as many attributes of that tag as the lists have
// entries: then they pair up in turn, as export writes them. An
// attribute that already holds the value is not touched at all (its field
// length stays too). Lists of different length change nothing. True when
// some attribute took a new text.
bool UpdateAttributesByTag(const std::string& handleText, const std::vector<std::string>& tags,
                           const std::vector<std::string>& values);

// Each sets one property and, when that succeeded, refreshes the attributes;
// true when the property was set.
bool SetBlockPosition(const std::string& handleText, const AcGePoint3d& point);
bool SetBlockScale(const std::string& handleText, const AcGeScale3d& scale);
bool SetBlockRotation(const std::string& handleText, double radians);
// Sets the layer of any entity (a reference's attributes follow it); true
// when the layer was set.
bool SetEntityLayer(const std::string& handleText, const std::string& layerName);

// What an entity holds now, for telling an edited cell from an unchanged one.
struct EntityProperties {
    bool isBlockReference = false; // the rest but the layer only for references
    AcGePoint3d position;
    AcGeScale3d scale;
    double rotation = 0; // radians
    std::string layer;
};
// False when the handle names no entity that opens.
bool ReadEntityProperties(const std::string& handleText, EntityProperties& properties);

// Sets each attribute that has a definition in the block from that
// definition with the reference's block transform, keeping its text.
// False when `ref` is missing or not open.
bool RefreshAttributesFromBlock(AcDbBlockReference* ref);

// The first definition in the block of `ref` whose tag equals the
// attribute's (letter case ignored), left open in `mode`; null when there
// is none. The caller closes it.
AcDbAttributeDefinition* FindAttributeDefinition(AcDbAttribute* att, AcDbBlockReference* ref, AcDb::OpenMode mode);
