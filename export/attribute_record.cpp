#include "export/attribute_record.h"

#include <mbstring.h>

void AttributeMerge::take(const char* tag, const char* text)
{
    const auto* wanted = reinterpret_cast<const unsigned char*>(tag ? tag : "");
    while (m_next < m_records.size()) {
        AttributeRecord& record = m_records[m_next++];
        if (_mbsicmp(wanted, reinterpret_cast<const unsigned char*>(record.tag.c_str())) == 0) {
            record.value = text ? text : "";
            return;
        }
    }
}
