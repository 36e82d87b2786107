// Stand-in for unknwn.h: IUnknown.
#pragma once
#include "guiddef.h"
#include "winerror.h"

#define STDMETHODCALLTYPE
#define STDAPI extern "C" HRESULT
#define STDMETHOD(method) virtual HRESULT method
using LPOLESTR = WCHAR*;
using LPCOLESTR = const WCHAR*;
using OLECHAR = WCHAR;
using LCID = DWORD;
using SCODE = LONG;

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;
GW_INTERFACE_ID(IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
inline constexpr IID IID_IUnknown = __uuidof(IUnknown);
