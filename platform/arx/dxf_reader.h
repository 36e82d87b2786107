// Reading and writing the database's DXF text.
#pragma once
#include "dbdatabase.h"

#include <string>

// Fills a fresh database state from its `source` text; false with a
// one-line `error` ("<name>: line <n>: <what>") when the text is damaged.
bool DxfRead(AcDbDatabase::Imp& d, std::string& error);
// The text of the drawing: untouched records as they were read, changed
// ones from their groups, erased ones left out.
std::string DxfWrite(const AcDbDatabase::Imp& d);
