#include "export/collect_attributes.h"

#include "export/drawing_objects.h"

#include <dbents.h>
#include <dbobjptr.h>
#include <dbsymtb.h>

#include <memory>

namespace {

bool CollectDefinitions(AcDbObjectId blockId, std::vector<AttributeRecord>& records)
{
    AcDbBlockTableRecordPointer block(blockId, AcDb::kForRead);
    if (block.openStatus() != Acad::eOk)
        return false;
    AcDbBlockTableRecordIterator* rawIterator = nullptr;
    if (block->newIterator(rawIterator, true, true) != Acad::eOk)
        return false;
    std::unique_ptr<AcDbBlockTableRecordIterator> iterator(rawIterator);
    for (iterator->start(true, true); !iterator->done(); iterator->step(true, true)) {
        AcDbEntity* rawEntity = nullptr;
        if (iterator->getEntity(rawEntity, AcDb::kForRead, false) != Acad::eOk)
            continue;
        AcDbEntityPointer entity;
        entity.acquire(rawEntity);
        const AcDbAttributeDefinition* definition = AcDbAttributeDefinition::cast(entity.object());
        if (!definition)
            continue;
        HostText tag, prompt, text;
        tag.slot() = definition->tag();
        prompt.slot() = definition->prompt();
        text.slot() = definition->textString();
        records.push_back({tag.get(), prompt.get(), text.get(), definition->isConstant()});
    }
    return true;
}

// Feeds the reference's own attributes into `merge`, in the host's order.
void MergeOwnAttributes(AcDbBlockReference* reference, AttributeMerge& merge)
{
    std::unique_ptr<AcDbObjectIterator> attributes(reference->attributeIterator());
    if (!attributes)
        return;
    for (attributes->start(); !attributes->done(); attributes->step()) {
        AcDbAttribute* rawAttribute = nullptr;
        if (reference->openAttribute(rawAttribute, attributes->objectId(), AcDb::kForRead, false) != Acad::eOk)
            continue;
        AcDbObjectPointer<AcDbAttribute> attribute;
        attribute.acquire(rawAttribute);
        HostText tag, text;
        tag.slot() = attribute->tag();
        text.slot() = attribute->textString();
        merge.take(tag.get(), text.get());
    }
}

} // namespace

bool CollectAttributes(AcDbBlockReference* reference, std::vector<AttributeRecord>& records,
                       const std::vector<std::string>& extraTags)
{
    records.clear();
    if (!CollectDefinitions(reference->blockTableRecord(), records))
        return false;
    AttributeMerge merge(records);
    MergeOwnAttributes(reference, merge);
    merge.appendExtraColumns(extraTags);
    return true;
}

void NoteExtraAttributes(AcDbBlockReference* reference, ExtraAttributeTags& extras)
{
    std::vector<AttributeRecord> records;
    if (!CollectDefinitions(reference->blockTableRecord(), records))
        return;
    AttributeMerge merge(records);
    MergeOwnAttributes(reference, merge);
    extras.note(merge.leftOver());
}
