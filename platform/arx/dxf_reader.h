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
// The same text written to `fd` as it is made, so that saving a large
// drawing does not hold a second copy of it; false with errno set when a
// write failed.
bool DxfWriteTo(const AcDbDatabase::Imp& d, int fd);
