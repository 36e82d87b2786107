#include "export/collect_attributes.h"

#include "export/drawing_objects.h"

#include <dbents.h>
#include <dbsymtb.h>

#include <memory>

namespace {

bool CollectDefinitions(AcDbObjectId blockId, std::vector<AttributeRecord>& records)
{
    OpenObject<AcDbBlockTableRecord> block;
    if (acdbOpenObject(block.slot(), blockId, AcDb::kForRead, false) != Acad::eOk)
        return false;
    AcDbBlockTableRecordIterator* rawIterator = nullptr;
    if (block->newIterator(rawIterator, true, true) != Acad::eOk)
        return false;
    std::unique_ptr<AcDbBlockTableRecordIterator> iterator(rawIterator);
    for (iterator->start(true, true); !iterator->done(); iterator->step(true, true)) {
        OpenObject<AcDbEntity> entity;
        if (iterator->getEntity(entity.slot(), AcDb::kForRead, false) != Acad::eOk)
            continue;
        const AcDbAttributeDefinition* definition = AcDbAttributeDefinition::cast(entity.get());
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
        OpenObject<AcDbAttribute> attribute;
        if (reference->openAttribute(attribute.slot(), attributes->objectId(), AcDb::kForRead, false)
            != Acad::eOk)
            continue;
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
