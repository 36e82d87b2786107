// The live link's event sink: connects itself to the running spreadsheet
// program's application events and queues every changed cell. It lives on
// the live-link worker thread; the main thread reaches Enable and Disable
// only through the interface the worker marshals to it.
#pragma once
#include "livelink/app_event_handler_face.h"

#include <excel.tlh>
#include <ocidl.h>

#include <atomic>

class AppEventHandler final : public IAppEventHandler {
public:
    AppEventHandler(); // the creator holds the first reference
    AppEventHandler(const AppEventHandler&) = delete;
    AppEventHandler& operator=(const AppEventHandler&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: Enable and Disable by member id
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excepInfo, UINT* argError) override;
    // IAppEventHandler
    HRESULT STDMETHODCALLTYPE Enable() override;
    HRESULT STDMETHODCALLTYPE Disable() override;

    // Excel's SheetChange(Sh, Target), arguments in declared order.
    void OnSheetChange(IDispatch* first, IDispatch* second);

    // The event-receiving face that the program calls.
    IDispatch* EventFace() { return &m_events; }
    DWORD AdviseCookie() const { return m_cookie; }

private:
    ~AppEventHandler();

    class EventReceiver final : public IDispatch {
    public:
        explicit EventReceiver(AppEventHandler& owner) : m_owner(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override { return m_owner.AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return m_owner.Release(); }
        HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
        HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
        {
            return E_NOTIMPL;
        }
        HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                         VARIANT* result, EXCEPINFO* excepInfo, UINT* argError) override;

    private:
        AppEventHandler& m_owner;
    };

    HRESULT ConnectionPoint(IConnectionPoint** point) const;

    std::atomic<ULONG> m_refs{1};
    IDispatch* m_excel = nullptr;
    DWORD m_cookie = 0xFEFEFEFE;
    EventReceiver m_events{*this};
};

// AppEventHandler objects alive, each a lock on the module.
long ModuleLockCount();
