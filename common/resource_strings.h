// Texts of the resource module, the scope that makes it the host's current
// resource source, and the filling-in of the fields the texts carry.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>

// The resource module the texts come from: set when the module attaches to
// the process, cleared when it detaches.
void SetResourceModule(HINSTANCE resources);

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

// `pattern` with %1 to %9 replaced by the values in that order; a field with
// no value becomes empty, any other % stays as it is. The texts are the
// translator's, so they are never used as a printf format.
std::string FillFields(const std::string& pattern, std::initializer_list<std::string> values);

// Resource string `id` with its fields filled in (see FillFields).
std::string FormatResource(UINT id, std::initializer_list<std::string> values);
