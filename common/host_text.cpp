#include "common/host_text.h"

#include <acutmem.h>

HostText::~HostText()
{
    if (m_text)
        acutDelString(m_text);
}

char*& HostText::slot()
{
    if (m_text)
        acutDelString(m_text);
    m_text = nullptr;
    return m_text;
}
