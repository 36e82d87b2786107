// Stand-in for objbase.h / combaseapi.h: apartment initialisation, class
// lookup by ProgID or class-id string, and instance creation through the
// class registry of the current COM runtime (com_runtime.h).
#pragma once
#include "oleauto.h"

enum tagCOINIT : DWORD {
    COINIT_APARTMENTTHREADED = 0x2,
    COINIT_MULTITHREADED = 0x0,
    COINIT_DISABLE_OLE1DDE = 0x4,
};

enum tagCLSCTX : DWORD {
    CLSCTX_INPROC_SERVER = 0x1,
    CLSCTX_INPROC_HANDLER = 0x2,
    CLSCTX_LOCAL_SERVER = 0x4,
    CLSCTX_REMOTE_SERVER = 0x10,
};
#define CLSCTX_SERVER (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106L)

// Per thread: S_OK the first time, S_FALSE when already initialised in the
// same model, RPC_E_CHANGED_MODE for the other model.
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit);
void CoUninitialize();

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsContext, REFIID riid, LPVOID* object);
HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid);
// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" or, as on Windows, a registered ProgID.
HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid);
int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int size);
