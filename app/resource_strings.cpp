#include "app/resource_strings.h"

#include "app/gwell_app.h"

#include <acdocman.h>
#include <afxwin.h>

ResourceSourceScope::ResourceSourceScope() { acDocManager->pushResourceHandle(TheGwellApp().ResourceInstance()); }

ResourceSourceScope::~ResourceSourceScope() { acDocManager->popResourceHandle(); }

std::string ResourceString(UINT id)
{
    ResourceSourceScope resources;
    // Resource strings are short texts; 1024 holds the longest with room.
    char buffer[1024];
    const int length = LoadStringA(AfxGetResourceHandle(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}
