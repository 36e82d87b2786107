// The live link's COM identity, as its type library GwellLib 1.0 describes
// it: the class AppEventHandler and its dual interface IAppEventHandler.
#pragma once
#include <objbase.h>

struct IAppEventHandler : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Enable() = 0;
    virtual HRESULT STDMETHODCALLTYPE Disable() = 0;

protected:
    ~IAppEventHandler() = default;
};
GW_INTERFACE_ID(IAppEventHandler, 0xBF62E004, 0xEC31, 0x11D3, 0xBA, 0xA0, 0x00, 0x20, 0x18, 0x64, 0x0C, 0x96);
inline constexpr IID IID_IAppEventHandler = __uuidof(IAppEventHandler);

inline constexpr CLSID CLSID_AppEventHandler = {
    0xBF62E005, 0xEC31, 0x11D3, {0xBA, 0xA0, 0x00, 0x20, 0x18, 0x64, 0x0C, 0x96}};
inline constexpr GUID LIBID_GwellLib = {
    0x1867BCA3, 0xEA1B, 0x11D3, {0xBA, 0x98, 0x00, 0x20, 0x18, 0x64, 0x0C, 0x96}};

// Member ids of the dual interface, by which calls from another apartment
// reach Enable and Disable through IDispatch.
inline constexpr DISPID kDispidEnable = 1;
inline constexpr DISPID kDispidDisable = 2;
