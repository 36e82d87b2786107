// The attributes of one block reference, merged with the attribute
// definitions of its block.
#pragma once
#include "export/attribute_record.h"

#include <string>
#include <vector>

class AcDbBlockReference;

// One record per attribute definition of the reference's block, in the
// block's entity order, constant ones included; a record takes the text of
// the reference's attribute of the same tag (duplicate tags in turn), else
// keeps the definition's own text. Then one record per tag of `extraTags`
// (see ExtraAttributeTags), holding the text of the reference's attribute
// that no definition took, or empty. False when the block or its entity
// iterator cannot be had.
bool CollectAttributes(AcDbBlockReference* reference, std::vector<AttributeRecord>& records,
                       const std::vector<std::string>& extraTags = {});

// Adds to `extras` the tags of the reference's attributes that no definition
// of its block takes.
void NoteExtraAttributes(AcDbBlockReference* reference, ExtraAttributeTags& extras);
