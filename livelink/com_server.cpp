#include "livelink/com_server.h"

#include "livelink/app_event_handler.h"

#include <windows.h>

#include <initializer_list>
#include <utility>

namespace {

const char kClassId[] = "{BF62E005-EC31-11D3-BAA0-002018640C96}";
const char kInterfaceId[] = "{BF62E004-EC31-11D3-BAA0-002018640C96}";
const char kLibraryId[] = "{1867BCA3-EA1B-11D3-BA98-002018640C96}";
const char kClassName[] = "AppEventHandler Class";
const char kProgId[] = "Gwell.AppEventHandler.1";
const char kIndependentProgId[] = "Gwell.AppEventHandler";
// The automation marshaller, which serves every dual interface of a
// registered type library.
const char kAutomationMarshaller[] = "{00020424-0000-0000-C000-000000000046}";

bool g_serverInitialised = false;

// Creates HKEY_CLASSES_ROOT\path and sets its named values ("" = default).
bool SetKey(const std::string& path, std::initializer_list<std::pair<const char*, std::string>> values)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return false;
    bool ok = true;
    for (const auto& [name, text] : values) {
        ok = RegSetValueExA(key, *name ? name : nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1))
                 == ERROR_SUCCESS
            && ok;
    }
    RegCloseKey(key);
    return ok;
}

} // namespace

void InitComServerModule() { g_serverInitialised = true; }
void TermComServerModule() { g_serverInitialised = false; }

bool RegisterComServer(const std::string& modulePath)
{
    const std::string clsidKey = std::string("CLSID\\") + kClassId;
    const std::string libKey = std::string("TypeLib\\") + kLibraryId + "\\1.0";
    const std::string interfaceKey = std::string("Interface\\") + kInterfaceId;
    bool ok = true;
    ok = SetKey(kProgId, {{"", kClassName}}) && ok;
    ok = SetKey(std::string(kProgId) + "\\CLSID", {{"", kClassId}}) && ok;
    ok = SetKey(kIndependentProgId, {{"", kClassName}}) && ok;
    ok = SetKey(std::string(kIndependentProgId) + "\\CLSID", {{"", kClassId}}) && ok;
    ok = SetKey(std::string(kIndependentProgId) + "\\CurVer", {{"", kProgId}}) && ok;
    ok = SetKey(clsidKey, {{"", kClassName}}) && ok;
    ok = SetKey(clsidKey + "\\ProgID", {{"", kProgId}}) && ok;
    ok = SetKey(clsidKey + "\\VersionIndependentProgID", {{"", kIndependentProgId}}) && ok;
    ok = SetKey(clsidKey + "\\Programmable", {}) && ok;
    ok = SetKey(clsidKey + "\\InprocServer32", {{"", modulePath}, {"ThreadingModel", "Apartment"}}) && ok;
    ok = SetKey(clsidKey + "\\TypeLib", {{"", kLibraryId}}) && ok;
    // What registering the type library writes: the library and its interface.
    ok = SetKey(libKey, {{"", "Gwell 1.0 Type Library"}}) && ok;
    ok = SetKey(libKey + "\\0\\win32", {{"", modulePath}}) && ok;
    ok = SetKey(libKey + "\\FLAGS", {{"", "0"}}) && ok;
    ok = SetKey(interfaceKey, {{"", "IAppEventHandler Interface"}}) && ok;
    ok = SetKey(interfaceKey + "\\ProxyStubClsid32", {{"", kAutomationMarshaller}}) && ok;
    ok = SetKey(interfaceKey + "\\TypeLib", {{"", kLibraryId}, {"Version", "1.0"}}) && ok;
    return ok;
}
