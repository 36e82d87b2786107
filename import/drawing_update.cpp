#include "import/drawing_update.h"

#include "common/case_fold.h"
#include "common/host_text.h"
#include "import/status_check.h"

#include <dbapserv.h>
#include <dbobjptr.h>
#include <dbsymtb.h>


#include <cstring>
#include <memory>

namespace {

bool SameTag(const char* a, const char* b)
{
    return EqualInCodePageIgnoringCase(a, b);
}

// Opens the entity `handleText` names into `entity`, which closes it.
bool OpenHeldByHandle(const std::string& handleText, AcDb::OpenMode mode, AcDbEntityPointer& entity)
{
    AcDbEntity* opened = nullptr;
    if (!OpenEntityByHandle(handleText, mode, opened))
        return false;
    entity.acquire(opened);
    return true;
}

template <class Setter>
bool SetReferenceProperty(const std::string& handleText, Setter&& setter)
{
    AcDbEntityPointer entity;
    if (!OpenHeldByHandle(handleText, AcDb::kForWrite, entity))
        return false;
    AcDbBlockReference* ref = AcDbBlockReference::cast(entity.object());
    if (!ref)
        return false;
    if (GW_CHECK_STATUS(setter(*ref)) != Acad::eOk)
        return false;
    RefreshAttributesFromBlock(ref);
    return true;
}

} // namespace

bool OpenEntityByHandle(const std::string& handleText, AcDb::OpenMode mode, AcDbEntity*& entity)
{
    entity = nullptr;
    AcDbHandle handle;
    handle = handleText.c_str();
    AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
    if (!database)
        return false;
    AcDbObjectId id;
    if (GW_CHECK_STATUS(database->getAcDbObjectId(id, false, handle, 0)) != Acad::eOk)
        return false;
    if (GW_CHECK_STATUS(acdbOpenAcDbEntity(entity, id, mode, false)) != Acad::eOk) {
        entity = nullptr;
        return false;
    }
    return true;
}

bool UpdateAttributesByTag(const std::string& handleText, const std::vector<std::string>& tags,
                           const std::vector<std::string>& values)
{
    if (tags.size() != values.size())
        return false;
    AcDbEntityPointer entity;
    if (!OpenHeldByHandle(handleText, AcDb::kForRead, entity))
        return false;
    AcDbBlockReference* ref = AcDbBlockReference::cast(entity.object());
    if (!ref)
        return false;
    std::unique_ptr<AcDbObjectIterator> it(ref->attributeIterator());
    if (!it)
        return false;

    // The reference's attributes with their tags and texts, read first: which
    // value an attribute takes depends on how many of its siblings share its tag.
    struct Attribute {
        AcDbObjectId id;
        std::string tag, text;
    };
    std::vector<Attribute> attributes;
    for (it->start(); !it->done(); it->step()) {
        AcDbAttribute* rawAttribute = nullptr;
        if (GW_CHECK_STATUS(ref->openAttribute(rawAttribute, it->objectId(), AcDb::kForRead, false)) != Acad::eOk)
            continue;
        AcDbObjectPointer<AcDbAttribute> att;
        att.acquire(rawAttribute);
        HostText tag(att->tag());
        if (!tag)
            continue;
        HostText text(att->textString());
        attributes.push_back({it->objectId(), tag.get(), text ? text.get() : ""});
    }

    bool changed = false;
    for (std::size_t a = 0; a < attributes.size(); ++a) {
        const Attribute& attribute = attributes[a];
        std::size_t ordinal = 0, siblings = 0;
        for (std::size_t b = 0; b < attributes.size(); ++b) {
            if (SameTag(attributes[b].tag.c_str(), attribute.tag.c_str())) {
                ordinal += b < a ? 1 : 0;
                ++siblings;
            }
        }
        std::vector<std::size_t> columns;
        for (std::size_t i = 0; i < tags.size(); ++i)
            if (SameTag(tags[i].c_str(), attribute.tag.c_str()))
                columns.push_back(i);
        if (columns.empty())
            continue;
        // Export writes a block's repeated tags as columns in turn, so as many
        // columns as attributes of one tag pair up in turn; otherwise every
        // attribute of the tag takes the right-hand column's value.
        const bool inTurn = columns.size() > 1 && columns.size() == siblings;
        const std::string& value = values[inTurn ? columns[ordinal] : columns.back()];
        // An attribute that already holds its value is not touched at all, so
        // an unedited cell leaves even the field length as it was.
        if (value == attribute.text)
            continue;
        AcDbAttribute* rawAttribute = nullptr;
        if (GW_CHECK_STATUS(ref->openAttribute(rawAttribute, attribute.id, AcDb::kForWrite, false)) != Acad::eOk)
            continue;
        AcDbObjectPointer<AcDbAttribute> att;
        att.acquire(rawAttribute);
        GW_CHECK_STATUS(att->setFieldLength(static_cast<Adesk::UInt16>(value.size())));
        if (GW_CHECK_STATUS(att->setTextString(value.c_str())) == Acad::eOk)
            changed = true;
    }
    return changed;
}

bool SetBlockPosition(const std::string& handleText, const AcGePoint3d& point)
{
    return SetReferenceProperty(handleText, [&](AcDbBlockReference& ref) { return ref.setPosition(point); });
}

bool SetBlockScale(const std::string& handleText, const AcGeScale3d& scale)
{
    return SetReferenceProperty(handleText, [&](AcDbBlockReference& ref) { return ref.setScaleFactors(scale); });
}

bool SetBlockRotation(const std::string& handleText, double radians)
{
    return SetReferenceProperty(handleText, [&](AcDbBlockReference& ref) { return ref.setRotation(radians); });
}

bool SetEntityLayer(const std::string& handleText, const std::string& layerName)
{
    AcDbEntityPointer entity;
    if (!OpenHeldByHandle(handleText, AcDb::kForWrite, entity))
        return false;
    return GW_CHECK_STATUS(entity->setLayer(layerName.c_str(), true)) == Acad::eOk;
}

bool ReadEntityProperties(const std::string& handleText, EntityProperties& properties)
{
    AcDbEntityPointer entity;
    if (!OpenHeldByHandle(handleText, AcDb::kForRead, entity))
        return false;
    HostText layer(entity->layer());
    properties.layer = layer ? layer.get() : "";
    const AcDbBlockReference* ref = AcDbBlockReference::cast(entity.object());
    properties.isBlockReference = ref != nullptr;
    if (ref) {
        properties.position = ref->position();
        properties.scale = ref->scaleFactors();
        properties.rotation = ref->rotation();
    }
    return true;
}

bool RefreshAttributesFromBlock(AcDbBlockReference* ref)
{
    if (!ref) {
        GW_ASSERT_OBJECT(pRef != NULL);
        return false;
    }
    if (!ref->isReadEnabled())
        return false;
    std::unique_ptr<AcDbObjectIterator> it(ref->attributeIterator());
    if (!it)
        return true;
    AcGeMatrix3d transform = ref->blockTransform();
    for (it->start(); !it->done(); it->step()) {
        AcDbAttribute* rawAttribute = nullptr;
        if (GW_CHECK_STATUS(acdbOpenObject(rawAttribute, it->objectId(), AcDb::kForWrite, false)) != Acad::eOk)
            continue;
        AcDbObjectPointer<AcDbAttribute> att;
        att.acquire(rawAttribute);
        AcDbAttributeDefinition* rawDefinition = FindAttributeDefinition(att.object(), ref, AcDb::kForRead);
        if (!rawDefinition)
            continue;
        AcDbObjectPointer<AcDbAttributeDefinition> def;
        def.acquire(rawDefinition);
        // Taking the definition's properties resets the text to its default;
        // the attribute keeps the text it had.
        HostText text(att->textString());
        const char* kept = text ? text.get() : "";
        GW_CHECK_STATUS(att->setAttributeFromBlock(def, transform));
        GW_CHECK_STATUS(att->setFieldLength(static_cast<Adesk::UInt16>(std::strlen(kept) + 1)));
        GW_CHECK_STATUS(att->setTextString(kept));
    }
    return true;
}

AcDbAttributeDefinition* FindAttributeDefinition(AcDbAttribute* att, AcDbBlockReference* ref, AcDb::OpenMode mode)
{
    if (!ref) {
        GW_ASSERT_OBJECT(pRef != NULL);
        return nullptr;
    }
    if (!att) {
        GW_ASSERT_OBJECT(pAtt != NULL);
        return nullptr;
    }
    HostText tag(att->tag());
    AcDbBlockTableRecordPointer block(ref->blockTableRecord(), AcDb::kForRead);
    if (GW_CHECK_STATUS(block.openStatus()) != Acad::eOk)
        return nullptr;
    AcDbBlockTableRecordIterator* rawIterator = nullptr;
    if (GW_CHECK_STATUS(block->newIterator(rawIterator, true, true)) != Acad::eOk)
        return nullptr;
    std::unique_ptr<AcDbBlockTableRecordIterator> it(rawIterator);
    if (!tag)
        return nullptr;
    for (it->start(true, true); !it->done(); it->step()) {
        AcDbEntity* entity = nullptr;
        if (GW_CHECK_STATUS(it->getEntity(entity, mode, false)) != Acad::eOk)
            continue;
        if (auto* def = AcDbAttributeDefinition::cast(entity)) {
            HostText defTag(def->tag());
            if (defTag && SameTag(defTag.get(), tag.get()))
                return def; // stays open for the caller
        }
        entity->close();
    }
    return nullptr;
}
