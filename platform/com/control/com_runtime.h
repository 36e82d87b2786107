// The COM stand-in's state for one process: the class registry (ProgIDs,
// class ids and the factories of the servers, with the class contexts they
// serve), the running object table, and injected faults. gwhost or a test
// fixture creates one, installs it as current, and destroys it at the end;
// destruction releases everything still registered as running.
//
// Simplifications: apartments and proxies live in com_apartment.h; objects
// made by CoCreateInstance and the running object table are reached directly
// on the caller's thread (the spreadsheet stand-in is thread-safe, standing
// in for an out-of-process server); CoInitialize is not required for them;
// no registry key behind the class registry.
#pragma once
#include "objbase.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

// The API calls whose failures can be injected.
enum class ComCall { CoCreateInstance, GetActiveObject, CLSIDFromProgID, OleRun, CoMarshalInterThreadInterfaceInStream };

class ComRuntime {
public:
    // Creates the object for CoCreateInstance and hands out `riid` on it.
    using Factory = std::function<HRESULT(REFIID riid, void** object)>;

    ComRuntime();
    ~ComRuntime();
    ComRuntime(const ComRuntime&) = delete;
    ComRuntime& operator=(const ComRuntime&) = delete;

    // The runtime the COM functions use; null outside a host or fixture.
    static ComRuntime* Current();
    static void Install(ComRuntime* runtime);

    // Class registry. `contexts` are the CLSCTX bits the server answers to.
    void RegisterClass(REFCLSID clsid, const std::u16string& progId, DWORD contexts, Factory factory);
    void UnregisterClass(REFCLSID clsid);
    bool FindProgId(const std::u16string& progId, CLSID& clsid) const;
    HRESULT Create(REFCLSID clsid, DWORD contexts, REFIID riid, void** object) const;

    // Running object table: one entry per class, holding a reference.
    HRESULT RegisterActive(IUnknown* object, REFCLSID clsid, DWORD& cookie);
    HRESULT RevokeActive(DWORD cookie);
    HRESULT FindActive(REFCLSID clsid, IUnknown** object) const;

    // Fault injection: the nth next call (1 = the next one) of the kind fails
    // with `hr`.
    void FailCall(ComCall call, int nth, HRESULT hr);
    HRESULT TakeCallFault(ComCall call);

    // Fault injection for automation: the nth next Invoke of member `dispid`
    // on any stand-in object fails with `hr`; with a source or description
    // it comes as an exception (DISP_E_EXCEPTION with EXCEPINFO) carrying them.
    void FailDispatch(DISPID dispid, int nth, HRESULT hr, std::u16string source = {},
                      std::u16string description = {});
    // Called by the stand-ins' Invoke: S_OK, or the injected failure with
    // `excepInfo` filled as the server would fill it.
    HRESULT TakeDispatchFault(DISPID dispid, EXCEPINFO* excepInfo);

private:
    struct ClassEntry {
        std::u16string progId;
        DWORD contexts;
        Factory factory;
    };
    struct CallFault {
        ComCall call;
        int countdown;
        HRESULT hr;
    };
    struct DispatchFault {
        DISPID dispid;
        int countdown;
        HRESULT hr;
        std::u16string source;
        std::u16string description;
    };
    struct ActiveEntry {
        CLSID clsid;
        IUnknown* object;
    };

    mutable std::mutex lock_;
    std::unordered_map<CLSID, ClassEntry, GuidHash> classes_;
    std::map<DWORD, ActiveEntry> active_;
    DWORD nextCookie_ = 1;
    std::vector<CallFault> callFaults_;
    std::vector<DispatchFault> dispatchFaults_;
    // How many dispatch faults are armed, kept with the list under the lock:
    // every automation call asks, and nearly always none is.
    std::atomic<std::size_t> armedDispatchFaults_{0};
};

// Fills EXCEPINFO (when given) the way an automation server reports an
// exception and returns DISP_E_EXCEPTION; without EXCEPINFO it leaves the
// error information on the thread and returns `scode` itself.
HRESULT ReportDispatchFailure(EXCEPINFO* excepInfo, HRESULT scode, const std::u16string& source,
                              const std::u16string& description);
