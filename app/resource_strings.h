// Texts of the resource module, and the scope that makes it the host's
// current resource source.
#pragma once
#include <windows.h>

#include <string>

// Pushes the resource module as the current resource source for its
// lifetime; the pop happens on every way out, exceptions included.
class ResourceSourceScope {
public:
    ResourceSourceScope();
    ~ResourceSourceScope();
    ResourceSourceScope(const ResourceSourceScope&) = delete;
    ResourceSourceScope& operator=(const ResourceSourceScope&) = delete;
};

// Resource string `id`, loaded with the resource module pushed; empty when
// the module has no such string.
std::string ResourceString(UINT id);
