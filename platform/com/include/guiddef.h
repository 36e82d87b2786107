// Stand-in for guiddef.h: GUID, IID, CLSID and the interface-id lookup that
// __uuidof performs on the real compiler.
#pragma once
#include "windef.h"

#include <cstring>
#include <functional>

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using LPCLSID = CLSID*;

inline bool IsEqualGUID(REFGUID a, REFGUID b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)

inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

struct GuidHash {
    std::size_t operator()(const GUID& g) const noexcept
    {
        std::size_t h = g.Data1;
        h = h * 31 + g.Data2;
        h = h * 31 + g.Data3;
        for (BYTE b : g.Data4)
            h = h * 31 + b;
        return h;
    }
};

// The compiler's __uuidof reads an attribute on the interface; here each
// interface names its id once with GW_INTERFACE_ID.
template <class T>
struct ComInterfaceId;
#define GW_INTERFACE_ID(Interface, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                                \
    template <>                                                                                            \
    struct ComInterfaceId<Interface> {                                                                     \
        static constexpr GUID iid = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}};                         \
    }
#define __uuidof(Interface) (ComInterfaceId<Interface>::iid)
