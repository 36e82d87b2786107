// The COM and OLE API functions, answered from the current ComRuntime.
#include "com_runtime.h"
#include "ole2.h"

#include <cstdio>

namespace {

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Reads `digits` hex digits at text[pos]; false on anything else.
bool ReadHex(LPCOLESTR text, std::size_t& pos, int digits, unsigned long long& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i, ++pos) {
        int d = HexDigit(text[pos]);
        if (d < 0)
            return false;
        value = value * 16 + static_cast<unsigned>(d);
    }
    return true;
}

bool ParseGuid(LPCOLESTR text, GUID& guid)
{
    std::size_t pos = 0;
    unsigned long long v = 0;
    if (text[pos++] != u'{')
        return false;
    if (!ReadHex(text, pos, 8, v) || text[pos++] != u'-')
        return false;
    guid.Data1 = static_cast<DWORD>(v);
    if (!ReadHex(text, pos, 4, v) || text[pos++] != u'-')
        return false;
    guid.Data2 = static_cast<WORD>(v);
    if (!ReadHex(text, pos, 4, v) || text[pos++] != u'-')
        return false;
    guid.Data3 = static_cast<WORD>(v);
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(text, pos, 2, v))
            return false;
        guid.Data4[i] = static_cast<BYTE>(v);
        if (i == 1 && text[pos++] != u'-')
            return false;
    }
    return text[pos] == u'}' && text[pos + 1] == 0;
}

} // namespace

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsContext, REFIID riid, LPVOID* object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    ComRuntime* runtime = ComRuntime::Current();
    if (!runtime)
        return REGDB_E_CLASSNOTREG;
    if (HRESULT hr = runtime->TakeCallFault(ComCall::CoCreateInstance); FAILED(hr))
        return hr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return runtime->Create(clsid, clsContext, riid, object);
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid)
{
    if (!progId || !clsid)
        return E_INVALIDARG;
    ComRuntime* runtime = ComRuntime::Current();
    if (runtime) {
        if (HRESULT hr = runtime->TakeCallFault(ComCall::CLSIDFromProgID); FAILED(hr))
            return hr;
    }
    if (!runtime || !runtime->FindProgId(progId, *clsid))
        return CO_E_CLASSSTRING;
    return S_OK;
}

HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid)
{
    if (!text || !clsid)
        return E_INVALIDARG;
    if (text[0] == u'{')
        return ParseGuid(text, *clsid) ? S_OK : CO_E_CLASSSTRING;
    return CLSIDFromProgID(text, clsid);
}

int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int size)
{
    if (!buffer || size < 39)
        return 0;
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    for (int i = 0; i < 39; ++i)
        buffer[i] = static_cast<OLECHAR>(text[i]);
    return 39;
}

HRESULT GetActiveObject(REFCLSID clsid, void*, IUnknown** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    ComRuntime* runtime = ComRuntime::Current();
    if (!runtime)
        return MK_E_UNAVAILABLE;
    if (HRESULT hr = runtime->TakeCallFault(ComCall::GetActiveObject); FAILED(hr))
        return hr;
    return runtime->FindActive(clsid, object);
}

HRESULT OleRun(IUnknown* object)
{
    if (!object)
        return E_INVALIDARG;
    if (ComRuntime* runtime = ComRuntime::Current()) {
        if (HRESULT hr = runtime->TakeCallFault(ComCall::OleRun); FAILED(hr))
            return hr;
    }
    IRunnableObject* runnable = nullptr;
    if (FAILED(object->QueryInterface(__uuidof(IRunnableObject), reinterpret_cast<void**>(&runnable))))
        return S_OK; // not runnable: it runs already
    HRESULT hr = runnable->Run(nullptr);
    runnable->Release();
    return hr;
}
