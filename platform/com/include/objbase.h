// Stand-in for objbase.h / combaseapi.h: apartment initialisation, class
// lookup by ProgID or class-id string, and instance creation through the
// class registry of the current COM runtime (com_runtime.h).
#pragma once
#include "objidl.h"
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
// same model, RPC_E_CHANGED_MODE for the other model. The first
// COINIT_APARTMENTTHREADED call makes the thread a single-threaded apartment:
// calls into its objects from other threads arrive as messages in its queue
// and run when it dispatches them. The last CoUninitialize (or the thread's
// end) ends the apartment: pending and later calls from other apartments
// fail with RPC_E_DISCONNECTED, and the references they held are released.
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit);
void CoUninitialize();

// Marshals `object`'s interface `riid` for use by another thread of the
// process. The calling thread must have initialised COM.
HRESULT CoMarshalInterThreadInterfaceInStream(REFIID riid, LPUNKNOWN object, LPSTREAM* stream);
// Takes the interface out of the stream and releases the stream, also on
// failure. In the marshalling apartment the object itself comes back;
// elsewhere a proxy whose calls run on the object's thread while the caller
// waits. Simplification: proxies exist for IUnknown and IDispatch (dual
// interfaces are called through IDispatch); any other interface asked for
// across apartments gives E_NOINTERFACE, as with no proxy/stub registered.
HRESULT CoGetInterfaceAndReleaseStream(LPSTREAM stream, REFIID riid, LPVOID* object);

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD clsContext, REFIID riid, LPVOID* object);
HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid);
// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" or, as on Windows, a registered ProgID.
HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid);
int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int size);
