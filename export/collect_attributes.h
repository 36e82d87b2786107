// The attributes of one block reference, merged with the attribute
// definitions of its block.
#pragma once
#include "export/attribute_record.h"

#include <vector>

class AcDbBlockReference;

// One record per attribute definition of the reference's block, in the
// block's entity order, constant ones included; a record takes the text of
// the reference's attribute of the same tag, else keeps the definition's own
// text. False when the block or its entity iterator cannot be had.
bool CollectAttributes(AcDbBlockReference* reference, std::vector<AttributeRecord>& records);
