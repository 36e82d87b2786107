// A dedicated XML scanner for the worksheet and comments parts, which hold
// nearly all of a workbook's bytes: the same events as ParseXmlInPieces (xlsx_xml.h) at a
// fraction of expat's cost per element. It reads UTF-8 documents (what every
// writer of the format produces; a part declaring another encoding is
// refused), decodes the predefined entities and character references,
// reads CDATA sections, skips comments and processing instructions, drops
// namespace prefixes and declarations as ParseXmlInPieces does, normalizes
// line ends and attribute white space, and refuses a document type
// declaration, malformed markup, invalid UTF-8 and characters XML forbids.
#pragma once
#include "xlsx_xml.h"

#include <string>
#include <string_view>

namespace excelsim::xlsx {

bool ScanXmlInPieces(const std::function<bool(const XmlPieces&)>& read, const std::string& partName,
                     XmlHandler& handler, std::string& error);

// Whether a document starting with `head` (its first few hundred bytes) is
// in an encoding other than UTF-8, by a UTF-16 byte-order mark or layout or
// by its declaration: such a part goes to expat, which reads it and gives
// the same events.
bool DeclaresOtherEncoding(std::string_view head);

} // namespace excelsim::xlsx
